#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "app/BirdEvent.h"
#include "app/StageThread.h"
#include "platform/system/Clock.h"
#include "platform/system/OwnerWindow.h"
#include "tests/support/ClockScope.h"
#include "tests/support/Wait.h"

namespace worldtest {

// A calendar time to seed the layout with, for tests whose game must not race ahead: at some
// seeds no block is in the field at the first tick, and the first stage is cleared there.
constexpr std::int64_t kSteadyLayoutTime = 1'700'000'000;

// The world with its insides in reach of the tests.
class TestWorld : public CBirdEvent {
public:
    using CBirdEvent::m_bird;
    using CBirdEvent::m_listObstacle;
    using CBirdEvent::m_random;
    using CGameEvent::m_bmpField;
    using CGameEvent::m_bmpStop;
    using CGameEvent::m_bRebuildField;
    using CGameEvent::m_bRebuildStop;
    using CGameEvent::m_csStage;
    using CGameEvent::m_strTitle;

    // The obstacle at `index` (test thread or game thread only).
    CObstacle* Obstacle(int index) { return m_listObstacle.GetAt(index); }
    // Replaces the obstacles with one standing still at (x, y).
    CObstacle* OneStillObstacle(int x, int y) {
        m_listObstacle.DeleteAll();
        CObstacle* o = m_listObstacle.AddNew();
        o->SetPoint(x, y);
        o->SetStepX(0.0);
        o->SetStepY(0.0);
        return o;
    }
};

// One thing the window or the worker saw, stamped with the virtual time.
struct Event {
    enum Kind { kText, kRepaint, kRepaintErase };
    Kind kind;
    std::int64_t ms;
    std::string text;  // for kText
    bool playing;      // the world's playing flag at the moment
    friend bool operator==(const Event&, const Event&) = default;
};

inline std::string Describe(const Event& e) {
    const char* kinds[] = {"text", "repaint", "repaint+erase"};
    return std::string(kinds[e.kind]) + "@" + std::to_string(e.ms) +
           (e.kind == Event::kText ? " \"" + e.text + "\"" : "") + (e.playing ? " P" : " T");
}

inline void PrintTo(const Event& e, std::ostream* os) {
    *os << Describe(e);
}

// The log of repaint requests and status texts, in order.
class EventLog {
public:
    EventLog(const sys::VirtualClock* clock, const CGameEvent* world)
        : clock_(clock), world_(world) {}
    void Add(Event::Kind kind, const std::string& text = {}) {
        std::lock_guard lock(mutex_);
        events_.push_back({kind, clock_ != nullptr ? clock_->NowMs() : 0, text,
                           world_ != nullptr && world_->IsPlaying()});
    }
    std::vector<Event> Events() const {
        std::lock_guard lock(mutex_);
        return events_;
    }
    std::string LastText() const {
        std::lock_guard lock(mutex_);
        for (auto it = events_.rbegin(); it != events_.rend(); ++it) {
            if (it->kind == Event::kText) {
                return it->text;
            }
        }
        return "<none>";
    }

private:
    const sys::VirtualClock* clock_;
    const CGameEvent* world_;
    mutable std::mutex mutex_;
    std::vector<Event> events_;
};

// An owner window that records every repaint request.
class RecordingOwner : public sys::OwnerWindow {
public:
    explicit RecordingOwner(EventLog& log) : log_(log) {}
    void Invalidate(bool erase) override {
        log_.Add(erase ? Event::kRepaintErase : Event::kRepaint);
    }
    bool EnableControl(int, bool) override { return false; }
    void PumpMessages() override { ++pumps; }
    std::atomic<int> pumps{0};

private:
    EventLog& log_;
};

// The stage thread with its status texts recorded; `onText` runs on the game thread.
class RecordingStage : public CStageThread {
public:
    explicit RecordingStage(EventLog& log) : log_(log) {}
    ~RecordingStage() override { StopAndJoin(); }
    using CSerrikThread::SetText;
    void SetText(const std::string& text) override {
        log_.Add(Event::kText, text);
        if (onText) {
            onText(text);
        }
        CSerrikThread::SetText(text);
    }
    void Run() override {
        ++runs;
        CStageThread::Run();
    }
    std::function<void(const std::string&)> onText;
    std::atomic<int> runs{0};

private:
    EventLog& log_;
};

using testsupport::ClockScope;
using testsupport::WaitForRunEnd;
using testsupport::WaitUntil;

}  // namespace worldtest
