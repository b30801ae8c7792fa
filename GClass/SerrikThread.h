#pragma once

#include <atomic>
#include <string>

#include "platform/system/CriticalSection.h"
#include "platform/system/OwnerWindow.h"
#include "platform/system/Thread.h"

// Runs one long task, Run, on a thread of its own, steered cooperatively: the task calls
// CheckPoint at moments of its choosing, and only there does a held task wait and a stop
// request take effect, by calling OnStop, clearing the request (and any pause or wait) and
// throwing the int -1. The thread procedure catches it and marks the worker idle.
//
// A run that fails, because its thread cannot be created or because something other than a
// stop escapes Run, is reported to OnRunFailed before the worker becomes idle.
//
// One run at a time: Start on a worker whose run is still active starts nothing. While a stop
// is pending the worker's Sleep returns at once, so a stopped run reaches its next checkpoint
// (or its normal end) promptly. The owner calls Shutdown before the objects Run uses are
// destroyed; the destructors also stop and join, and no thread is ever detached.
//
// Flags and the state are atomics; Pause and Resume change the pause flag and the state
// together under a lock of their own, and a held Pause returns only once the Resume that
// released it is complete, so the run never goes on while the state says paused. The status
// text and the prompt each have their own lock, and readers get copies.
class CSerrikThread {
public:
    enum { STATE_IDLE = 0, STATE_RUNNING = 1, STATE_PAUSED = 2 };

    CSerrikThread();
    virtual ~CSerrikThread();
    CSerrikThread(const CSerrikThread&) = delete;
    CSerrikThread& operator=(const CSerrikThread&) = delete;

    // Holds the calling thread while paused or waiting, pumps the owner's messages and
    // honours a pending stop (throws int -1).
    virtual void CheckPoint();
    // The task, on the worker thread.
    virtual void Run() = 0;
    virtual void OnWait() {}
    virtual void OnPause() {}
    virtual void OnResume() {}
    virtual void OnStop() {}
    // A run has failed; `what` names the failure. Called on the thread that saw it: the one
    // that called Start when no thread could be created, else the run's own. Must not throw.
    virtual void OnRunFailed(const std::string& /*what*/) {}
    virtual void SetText(int stringId);
    virtual void SetText(const std::string& text);
    // Publishes a prompt and holds the calling thread (the worker) until EndWait or a stop.
    virtual void Wait(int stringId);
    virtual void Wait(const std::string& prompt);

    // Resets flags and texts and starts a new run on a new thread; does nothing while a run
    // is still active. Returns 0.
    int Start();
    // Requests a stop; the run notices it at its next checkpoint. Returns 0.
    int Stop();
    // Holds the calling thread (the worker, from within Run) until Resume or a stop.
    int Pause();
    // Releases a paused run. On an idle worker only the pause flag is cleared. Returns 0.
    int Resume();
    int EndWait();
    bool IsPaused() const { return m_bPause.load() != 0; }
    bool IsWaiting() const { return m_bWait.load() != 0; }
    bool IsIdle() const { return m_nState.load() == STATE_IDLE; }
    // A stop has been requested and not yet honoured.
    bool IsStopRequested() const { return m_bStop.load() != 0; }
    // True from a successful Start until the run's thread procedure is about to go idle.
    bool IsActive() const { return m_bActive.load() != 0; }
    // Pumps the owner's messages and sleeps 10 ms at a time until no run is active.
    void WaitForIdle();
    // Stop, WaitForIdle and join the thread: afterwards no run uses anything any more.
    void Shutdown();

    void SetOwner(sys::OwnerWindow* owner);
    sys::OwnerWindow* GetOwner() const { return m_pOwner; }
    void SetState(int state) { m_nState.store(state); }
    int GetState() const { return m_nState.load(); }

    std::string GetText() const;
    void SetPromptText(const std::string& text);
    std::string GetPromptText() const;

    // The thread procedure: running state, Run under a catch-all, idle state, 0.
    static unsigned ThreadProc(void* param);

protected:
    void Reset();
    // Sleeps through the clock, but returns at once while a stop is pending.
    void Sleep(int ms);
    // Requests a stop and joins the thread without pumping messages: for destructors.
    void StopAndJoin();

    // Held by Pause and Resume while they change the pause flag and the state.
    sys::CriticalSection m_csPause;

private:
    void PumpOwner();
    [[noreturn]] void HonourStop();

    std::atomic<int> m_bPause{0};
    std::atomic<int> m_bStop{0};
    sys::Thread m_thread;
    std::atomic<int> m_nState{STATE_IDLE};
    std::atomic<int> m_bWait{0};
    mutable sys::CriticalSection m_csText;
    std::string m_strText;
    mutable sys::CriticalSection m_csPrompt;
    std::string m_strPrompt;
    sys::OwnerWindow* m_pOwner = nullptr;
    std::atomic<int> m_bActive{0};
};
