#include "platform/system/Assert.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>

namespace sys {

namespace {

void DefaultAssertHandler(const char* expr, const char* file, int line) {
    std::fprintf(stderr, "%s(%d): assertion failed: %s\n", file, line, expr);
    std::fflush(stderr);
    std::abort();
}

std::atomic<AssertHandler> g_handler{&DefaultAssertHandler};

}  // namespace

AssertHandler SetAssertHandler(AssertHandler handler) {
    return g_handler.exchange(handler != nullptr ? handler : &DefaultAssertHandler);
}

void AssertFailed(const char* expr, const char* file, int line) {
    g_handler.load()(expr, file, line);
}

}  // namespace sys
