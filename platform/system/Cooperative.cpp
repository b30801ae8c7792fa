#include "platform/system/Cooperative.h"

#include <algorithm>
#include <exception>
#include <thread>
#include <utility>
#include <vector>

#include "platform/system/Assert.h"

#ifdef __EMSCRIPTEN__
#include <emscripten/emscripten.h>
#include <emscripten/fiber.h>
#else
#include <ucontext.h>
#endif

namespace sys::coop {

namespace {

// A worker's C stack; the game's run is shallow, and the drawing happens on the main fiber.
constexpr std::size_t kStackBytes = 256 * 1024;
#ifdef __EMSCRIPTEN__
// Where Asyncify keeps a suspended fiber's frames: the main fiber's are the deepest (a modal
// loop inside a modal loop).
constexpr std::size_t kAsyncBytes = 64 * 1024;
#endif

}  // namespace

struct Fiber {
    std::function<void()> body;
    bool finished = false;
    int locks = 0;
    // What a suspended worker waits for.
    Clock::time_point wakeAt{};
    std::function<bool()> ready;
    std::unique_ptr<char[]> stack;
#ifdef __EMSCRIPTEN__
    std::unique_ptr<char[]> asyncStack;
    emscripten_fiber_t context{};
#else
    ucontext_t context{};
#endif
};

namespace {

// Without a display there is nothing but time to wait for: a main fiber with neither a
// deadline nor a fiber to wait for would wait for ever. A display's backend installs a wait
// that input ends too (SetHostWait).
bool DefaultHostWait(int timeoutMs) {
    SYS_ASSERT(timeoutMs >= 0);
#ifdef __EMSCRIPTEN__
    // The page's thread is the browser's: it sleeps by giving it back.
    emscripten_sleep(static_cast<unsigned>(std::max(timeoutMs, 0)));
#else
    std::this_thread::sleep_for(std::chrono::milliseconds(std::max(timeoutMs, 0)));
#endif
    return false;
}

struct Scheduler {
    Fiber main;
    Fiber* current = &main;
    bool mainReady = false;
    std::vector<std::shared_ptr<Fiber>> fibers;
    HostWait hostWait = &DefaultHostWait;
};

Scheduler& S() {
    static Scheduler scheduler;
    return scheduler;
}

void SwitchTo(Fiber& to) {
    Scheduler& s = S();
    Fiber& from = *s.current;
    s.current = &to;
#ifdef __EMSCRIPTEN__
    emscripten_fiber_swap(&from.context, &to.context);
#else
    swapcontext(&from.context, &to.context);
#endif
}

void Entry(void* /*unused*/) {
    Fiber* self = S().current;
    try {
        self->body();
    } catch (...) {
        std::terminate();
    }
    self->body = nullptr;
    SYS_ASSERT(self->locks == 0);
    self->finished = true;
    SwitchTo(S().main);
}

#ifndef __EMSCRIPTEN__
void UcontextEntry() {
    Entry(nullptr);
}
#endif

bool Due(const Fiber& f, Clock::time_point now) {
    return !f.finished && (now >= f.wakeAt || (f.ready && f.ready()));
}

// Runs each worker that is due once, until it waits again or ends. Main fiber only.
void RunDueFibers() {
    Scheduler& s = S();
    const std::vector<std::shared_ptr<Fiber>> fibers = s.fibers;
    for (const std::shared_ptr<Fiber>& f : fibers) {
        if (Due(*f, Clock::now())) {
            f->ready = nullptr;
            SwitchTo(*f);
        }
    }
    std::erase_if(s.fibers, [](const std::shared_ptr<Fiber>& f) { return f->finished; });
}

// Milliseconds until the first worker is due (0: one is), -1 when none waits on a time.
Clock::time_point NextWake(Clock::time_point limit) {
    const Clock::time_point now = Clock::now();
    for (const std::shared_ptr<Fiber>& f : S().fibers) {
        if (Due(*f, now)) {
            return now;
        }
        if (!f->finished) {
            limit = std::min(limit, f->wakeAt);
        }
    }
    return limit;
}

}  // namespace

std::shared_ptr<Fiber> Spawn(std::function<void()> body) {
    Scheduler& s = S();
    auto fiber = std::make_shared<Fiber>();
    fiber->body = std::move(body);
    fiber->stack = std::make_unique<char[]>(kStackBytes);
#ifdef __EMSCRIPTEN__
    if (!s.mainReady) {
        s.main.asyncStack = std::make_unique<char[]>(kAsyncBytes);
        emscripten_fiber_init_from_current_context(&s.main.context, s.main.asyncStack.get(),
                                                   kAsyncBytes);
        s.mainReady = true;
    }
    fiber->asyncStack = std::make_unique<char[]>(kAsyncBytes);
    emscripten_fiber_init(&fiber->context, &Entry, nullptr, fiber->stack.get(), kStackBytes,
                          fiber->asyncStack.get(), kAsyncBytes);
#else
    getcontext(&fiber->context);
    fiber->context.uc_stack.ss_sp = fiber->stack.get();
    fiber->context.uc_stack.ss_size = kStackBytes;
    fiber->context.uc_link = nullptr;
    makecontext(&fiber->context, &UcontextEntry, 0);
#endif
    s.fibers.push_back(fiber);
    return fiber;
}

bool Finished(const Fiber& fiber) {
    return fiber.finished;
}

const Fiber* Current() {
    return S().current;
}

void Suspend(Clock::time_point deadline, const std::function<bool()>& ready, bool wakeOnInput) {
    Scheduler& s = S();
    // A lock held here would be held by a fiber that other fibers run beside: on one thread
    // nothing would keep them out of what it guards.
    SYS_ASSERT(s.current->locks == 0);
    if (s.current != &s.main) {
        s.current->wakeAt = deadline;
        s.current->ready = ready;
        SwitchTo(s.main);
        return;
    }
    for (;;) {
        RunDueFibers();
        if ((ready && ready()) || Clock::now() >= deadline) {
            return;
        }
        const Clock::time_point next = NextWake(deadline);
        const Clock::time_point now = Clock::now();
        if (next <= now) {
            continue;
        }
        int ms = -1;
        if (next != Clock::time_point::max()) {
            // Rounded up: a wait that ends early would only wait again.
            ms = static_cast<int>(std::min<Clock::rep>(
                std::chrono::ceil<std::chrono::milliseconds>(next - now).count(), 1 << 30));
        }
        if (s.hostWait(ms) && wakeOnInput) {
            return;
        }
    }
}

void SetHostWait(HostWait wait) {
    S().hostWait = wait != nullptr ? wait : &DefaultHostWait;
}

void CountLock(int delta) {
    S().current->locks += delta;
}

int LocksHeld() {
    return S().current->locks;
}

}  // namespace sys::coop
