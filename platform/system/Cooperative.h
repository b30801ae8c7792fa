#pragma once

#include <chrono>
#include <functional>
#include <memory>

// The cooperative backend of the threads: every thread a fiber on the process's one thread
// (the browser's, in the page), switched only where a fiber waits. The main fiber, the one
// the program started on, schedules: whenever it waits it runs the other fibers that are due,
// and when none is, it waits for the host (the browser's event loop, or a real sleep) until
// the earliest wake time. So a fiber's wait returns only when the main fiber waits too.
//
// On one thread a held lock excludes nothing, so no fiber may hold one where it yields:
// critical sections count what the running fiber holds, and every yield asserts it holds none.
namespace sys::coop {

using Clock = std::chrono::steady_clock;

struct Fiber;

// Creates a fiber that runs `body` once the main fiber next waits. An exception escaping the
// body ends the program, as it would a thread's.
std::shared_ptr<Fiber> Spawn(std::function<void()> body);
bool Finished(const Fiber& fiber);
// The running fiber (the main one too); an identity for "which thread is this".
const Fiber* Current();

// Suspends the running fiber until `ready` returns true (when given) or `deadline` has
// passed; the other fibers and the host run meanwhile. With `wakeOnInput` the main fiber also
// returns when the host reports input. Not while the fiber holds a lock.
void Suspend(Clock::time_point deadline, const std::function<bool()>& ready = nullptr,
             bool wakeOnInput = false);
inline void SuspendFor(Clock::duration span, const std::function<bool()>& ready = nullptr) {
    Suspend(Clock::now() + span, ready);
}

// How the main fiber waits when no fiber is due: until input arrives or `timeoutMs` has
// passed (-1: no limit); true when input may have arrived. The window layer installs the wait
// of its event source; nullptr restores the default (the page's events, or a plain sleep).
using HostWait = bool (*)(int timeoutMs);
void SetHostWait(HostWait wait);

// The running fiber takes (+1) or gives back (-1) one level of a lock.
void CountLock(int delta);
int LocksHeld();

}  // namespace sys::coop
