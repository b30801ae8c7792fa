#include "tests/support/LastWords.h"

#include <csignal>

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#include <sanitizer/common_interface_defs.h>
#endif

#ifdef __SANITIZE_ADDRESS__
// This preset has UndefinedBehaviorSanitizer too: a report aborts, so the handler below runs.
extern "C" const char* __ubsan_default_options() {
    return "abort_on_error=1:print_stacktrace=1";
}
#endif

namespace testsupport {

namespace {

LastWords g_say = nullptr;

void OnAbort(int) {
    if (LastWords say = g_say) {
        g_say = nullptr;
        say();
    }
    std::signal(SIGABRT, SIG_DFL);
    std::raise(SIGABRT);
}

}  // namespace

void InstallLastWords(LastWords say) {
    g_say = say;
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    __sanitizer_set_death_callback(say);
#endif
    std::signal(SIGABRT, &OnAbort);
}

}  // namespace testsupport
