#pragma once

#include <gtest/gtest.h>

// For a case about threads that run at once (a lock keeping another thread out, a race): the
// cooperative build runs its threads one at a time, as fibers, where such a case means nothing.
#if TOLVANE_COOPERATIVE
#define TOLVANE_NEEDS_REAL_THREADS() GTEST_SKIP() << "threads are fibers on one thread here"
#else
#define TOLVANE_NEEDS_REAL_THREADS() static_cast<void>(0)
#endif
