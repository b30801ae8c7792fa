#pragma once

#include <string>

#include "GameClass/ThreadGame.h"

class CBirdEvent;

// The game's worker: its run is one whole game of five stages played on the world, with the
// announcements as status texts, a repaint request per frame and a checkpoint per frame.
class CStageThread : public CThreadGame {
public:
    CStageThread() = default;
    ~CStageThread() override;

    // The world the runs play on; set once before the first Start.
    void SetGameEvent(CBirdEvent* world) { m_pGameEvent = world; }

    // The stage sequence.
    void Run() override;
    // A game that cannot start or that fails on its way: one line on stderr, and the world
    // goes back to the title screen, as at the end of a game.
    void OnRunFailed(const std::string& what) override;

    static constexpr int kStages = 5;

private:
    void Repaint(bool erase);

    CBirdEvent* m_pGameEvent = nullptr;
};
