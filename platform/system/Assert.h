#pragma once

// Debug assertions: in debug builds a failed condition reports the expression with its source
// file and line ("GClass/Rect2.cpp(42): assertion failed: cols >= 1") through the assertion
// handler, whose default prints that line on stderr and aborts. Release builds compile them
// out. Code after an assertion still runs when a handler returns, so callers keep a safe path.

namespace sys {

using AssertHandler = void (*)(const char* expr, const char* file, int line);

// Installs a handler (nullptr restores the default) and returns the previous one.
AssertHandler SetAssertHandler(AssertHandler handler);
void AssertFailed(const char* expr, const char* file, int line);

}  // namespace sys

#ifdef NDEBUG
#define SYS_ASSERT(cond) ((void)0)
#else
#define SYS_ASSERT(cond) ((cond) ? (void)0 : ::sys::AssertFailed(#cond, __FILE__, __LINE__))
#endif
