#include "GClass/SerrikThread.h"

#include <exception>
#include <system_error>

#include "platform/system/Assert.h"
#include "platform/system/Clock.h"
#include "platform/system/Resources.h"
#include "platform/system/Thread.h"

namespace {

constexpr int kPollMs = 10;
// The int a stop throws to unwind a run.
constexpr int kStopCode = -1;

}  // namespace

CSerrikThread::CSerrikThread() {
    Reset();
}

CSerrikThread::~CSerrikThread() {
    StopAndJoin();
}

void CSerrikThread::Reset() {
    m_bPause.store(0);
    m_nState.store(STATE_IDLE);
    m_bStop.store(0);
    m_bWait.store(0);
    SetPromptText("");
    sys::ScopedLock lock(m_csText);
    m_strText.clear();
}

int CSerrikThread::Start() {
    int expected = 0;
    if (!m_bActive.compare_exchange_strong(expected, 1)) {
        return 0;
    }
    // The previous run has left its procedure (it clears the active flag as its last step
    // but one), so this join returns at once.
    if (m_thread.joinable()) {
        m_thread.join();
    }
    Reset();
    try {
        m_thread = sys::StartThread([this] { ThreadProc(this); });
    } catch (const std::system_error& e) {
        OnRunFailed(std::string("cannot start a thread: ") + e.what());
        m_bActive.store(0);
    }
    return 0;
}

int CSerrikThread::Stop() {
    m_bStop.store(1);
    // A run asleep in Sleep wakes now rather than at the end of its sleep.
    sys::GetClock().WakeSleepers();
    return 0;
}

int CSerrikThread::Pause() {
    OnPause();
    {
        sys::ScopedLock lock(m_csPause);
        m_bPause.store(1);
        SetState(STATE_PAUSED);
    }
    CheckPoint();
    // The Resume that cleared the flag may still be changing the state: wait for it.
    sys::ScopedLock lock(m_csPause);
    return 0;
}

int CSerrikThread::Resume() {
    OnResume();
    sys::ScopedLock lock(m_csPause);
    m_bPause.store(0);
    // Running stays running and paused becomes running; an idle worker stays idle, so that a
    // stray Resume never makes a finished run look active.
    int paused = STATE_PAUSED;
    m_nState.compare_exchange_strong(paused, STATE_RUNNING);
    return 0;
}

void CSerrikThread::Wait(const std::string& prompt) {
    SetPromptText(prompt);
    m_bWait.store(1);
    OnWait();
    CheckPoint();
}

void CSerrikThread::Wait(int stringId) {
    Wait(sys::LoadString(stringId));
}

int CSerrikThread::EndWait() {
    m_bWait.store(0);
    SetPromptText("");
    return 0;
}

void CSerrikThread::CheckPoint() {
    while (m_bPause.load() != 0) {
        PumpOwner();
        sys::Sleep(kPollMs);
        if (m_bStop.load() != 0) {
            HonourStop();
        }
    }
    while (m_bWait.load() != 0) {
        PumpOwner();
        sys::Sleep(kPollMs);
        if (m_bStop.load() != 0) {
            HonourStop();
        }
    }
    PumpOwner();
    if (m_bStop.load() != 0) {
        HonourStop();
    }
}

void CSerrikThread::HonourStop() {
    OnStop();
    m_bStop.store(0);
    // A run stopped while held leaves nothing held behind it.
    {
        sys::ScopedLock lock(m_csPause);
        m_bPause.store(0);
    }
    m_bWait.store(0);
    throw kStopCode;
}

void CSerrikThread::PumpOwner() {
    if (m_pOwner != nullptr) {
        m_pOwner->PumpMessages();
    }
}

void CSerrikThread::WaitForIdle() {
    // A run counts until its procedure is done, also in the moment between Start and the
    // new thread's first step, when the state still reads idle.
    while (!(IsIdle() && !IsActive())) {
        PumpOwner();
        sys::Sleep(kPollMs);
    }
}

void CSerrikThread::Shutdown() {
    Stop();
    WaitForIdle();
    if (m_thread.joinable()) {
        m_thread.join();
    }
}

void CSerrikThread::StopAndJoin() {
    Stop();
    if (m_thread.joinable()) {
        m_thread.join();
    }
}

void CSerrikThread::Sleep(int ms) {
    sys::GetClock().SleepUnless(ms, m_bStop);
}

void CSerrikThread::SetOwner(sys::OwnerWindow* owner) {
    SYS_ASSERT(owner != nullptr);
    m_pOwner = owner;
}

void CSerrikThread::SetText(const std::string& text) {
    sys::ScopedLock lock(m_csText);
    m_strText = text;
}

void CSerrikThread::SetText(int stringId) {
    sys::ScopedLock lock(m_csText);
    m_strText = sys::LoadString(stringId);
}

std::string CSerrikThread::GetText() const {
    sys::ScopedLock lock(m_csText);
    return m_strText;
}

void CSerrikThread::SetPromptText(const std::string& text) {
    sys::ScopedLock lock(m_csPrompt);
    m_strPrompt = text;
}

std::string CSerrikThread::GetPromptText() const {
    sys::ScopedLock lock(m_csPrompt);
    return m_strPrompt;
}

unsigned CSerrikThread::ThreadProc(void* param) {
    auto* self = static_cast<CSerrikThread*>(param);
    self->SetState(STATE_RUNNING);
    std::string failure;
    try {
        self->Run();
    } catch (int code) {
        if (code != kStopCode) {
            failure = "the run threw the int " + std::to_string(code);
        }
    } catch (const std::exception& e) {
        failure = std::string("the run failed: ") + e.what();
    } catch (...) {
        failure = "the run failed with an unknown exception";
    }
    if (!failure.empty()) {
        self->OnRunFailed(failure);
    }
    self->m_bActive.store(0);
    self->SetState(STATE_IDLE);
    return 0;
}
