#include "app/StageThread.h"

#include <cstdio>
#include <string>

#include "app/BirdEvent.h"
#include "platform/system/OwnerWindow.h"

namespace {

constexpr int kStageAnnounceMs = 2000;
constexpr int kGoMs = 500;
constexpr int kFrameMs = 200;
constexpr int kWingBeats = 30;
constexpr int kWingBeatMs = 500;
constexpr int kFinalPauseMs = 2000;

std::string Format(const char* format, int n) {
    char text[32];
    std::snprintf(text, sizeof text, format, n);
    return text;
}

}  // namespace

CStageThread::~CStageThread() {
    StopAndJoin();
}

void CStageThread::Repaint(bool erase) {
    if (sys::OwnerWindow* owner = GetOwner()) {
        owner->Invalidate(erase);
    }
}

void CStageThread::OnRunFailed(const std::string& what) {
    std::fprintf(stderr, "tolvane: the game ended: %s\n", what.c_str());
    if (m_pGameEvent != nullptr) {
        m_pGameEvent->ResetPlaying();
    }
    Repaint(true);
}

void CStageThread::Run() {
    CBirdEvent* world = m_pGameEvent;
    if (world == nullptr) {
        return;
    }
    // Every game starts from rest; between its stages the chick keeps its velocity.
    world->RestBird();
    bool cleared = false;
    for (int k = 0; k < kStages; ++k) {
        const int n = k + 1;
        world->SetStageText(Format("Stage%d / 5", n));
        world->PlaceBird();
        world->CreateObstacles(k * 5 + 10);
        SetText(Format("Stage%d", n));
        Repaint(false);
        Sleep(kStageAnnounceMs);
        SetText(std::string("Go!!"));
        Repaint(false);
        Sleep(kGoMs);
        SetText(std::string());
        Repaint(false);
        for (;;) {
            world->Tick();
            if (world->IsHit() || world->IsOut()) {
                cleared = false;
                break;
            }
            if (world->CountInField() == 0) {
                cleared = true;
                break;
            }
            Repaint(false);
            Sleep(kFrameMs);
            CheckPoint();
        }
        if (!cleared) {
            break;
        }
    }
    if (cleared) {
        SetText(std::string("Finish!!"));
        Repaint(false);
        for (int j = 0; j < kWingBeats; ++j) {
            world->SetBirdFrame(j % 2 == 0 ? 1 : 0);
            Sleep(kWingBeatMs);
            Repaint(false);
        }
    } else {
        SetText(std::string("Game Over!!"));
    }
    Repaint(false);
    Sleep(kFinalPauseMs);
    world->ResetPlaying();
    Repaint(true);
}
