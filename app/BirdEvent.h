#pragma once

#include <string>

#include "GClass/SerrikList.h"
#include "GameClass/GameEvent.h"
#include "app/Bird.h"
#include "platform/system/Random.h"

// The world of this game: the chick, the obstacles of the current (or last) stage and the
// rules that set up a stage, advance it by one tick and decide it.
//
// Threads: the stage sequence drives the world from the worker thread while the
// user-interface thread flaps the chick and paints. Every walk of the obstacle list holds
// the list's lock for the whole walk, so painting never meets an obstacle that the game
// thread is moving or deleting; the chick guards itself. No call holds both locks at once.
class CBirdEvent : public CGameEvent {
public:
    CBirdEvent();
    ~CBirdEvent() override;

    // The title screen, or the game scene: sky, chick, obstacles, status band and text, Stop
    // button and stage label, each layer over the ones before.
    void Draw(gfx::DeviceContext* dc, const std::string& status) override;
    void DrawBird(gfx::DeviceContext* dc);
    void DrawObstacles(gfx::DeviceContext* dc);

    // The chick at rest for a new game: no velocity, no ticks, its first frame.
    void RestBird();
    // The chick at x = 100 on the field's vertical centre; its velocity is kept.
    void PlaceBird();
    // Replaces the obstacles with `count` new ones, placed at random from a generator seeded
    // with the calendar time, steered by their index.
    void CreateObstacles(int count);
    // Every obstacle advances (and bounces off the top and bottom), then the chick falls.
    void Tick();
    // Whether the chick's centre lies inside some obstacle's rectangle.
    bool IsHit();
    // Whether the chick's centre lies outside the field.
    bool IsOut();
    // The number of obstacles whose centre lies inside the field.
    int CountInField();
    int GetObstacleCount() const;
    // The rectangle of obstacle `index`, or an empty one when there is none.
    gfx::Rect GetObstacleRect(int index);
    void SetBirdFrame(int frame);
    const CBird& GetBird() const { return m_bird; }
    // A mouse press during play: the second frame and a flap.
    void Press(int x, int y);
    // A mouse release during play (not on Stop): the first frame.
    void Release(int x, int y);

protected:
    CBird m_bird;
    CSerrikList<CObstacle> m_listObstacle;
    // Used by CreateObstacles alone, on whichever thread sets up the stage.
    sys::Random m_random;
};
