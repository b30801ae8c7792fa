#pragma once

#include <mutex>

#include "GameClass/GameObject.h"
#include "platform/graphics/DeviceContext.h"
#include "platform/system/Assert.h"

// The player's chick: falls under a constant gravity, flaps on mouse presses and draws
// itself as a two-frame masked sprite of 40 x 40 pixels.
//
// The chick is shared by the game thread (Fall, SetPoint, GetPoint, frames after the last
// stage) and the user-interface thread (flaps, frames, drawing). Its whole state (position,
// size, velocity, tick count, frame) is therefore guarded by a lock of its own, held only
// inside single calls: by the operations below and, through StateLock, by every operation of
// the base class, whichever way it is called. A flap that coincides with a Fall is never lost.
class CBird : public CGameObject {
public:
    CBird();
    ~CBird() override = default;

    // Gravity 2 px/tick^2 downwards, a 40 x 40 body, frame 0.
    void Init();
    // At rest for a new game: velocity 0, tick count 0, frame 0; the position stays.
    void Rest();
    // One tick of gravity: the velocity grows by the acceleration, then the position moves by
    // the new velocity (truncated).
    void Fall();
    // The flap: the vertical velocity drops by 5; the position follows at the next Fall.
    void MoveUp() override;
    void SetFrame(int n) {
        SYS_ASSERT(n < 2);
        std::lock_guard lock(m_lock);
        m_nFrame = n;
    }
    int GetFrame() const;
    double GetVelocityY() const;

    // Draws the current frame centred on the position: the mask ORed onto the target (the
    // chick's area turns white), then the colour frame ANDed over it. Bitmaps are loaded per
    // call; when one cannot be loaded nothing is drawn.
    void Draw(gfx::DeviceContext* target) const;

    // Positions further out than this are clamped: far beyond any field, and small enough
    // that the rectangle around them stays inside the int range.
    static constexpr int kPositionLimit = 1'000'000'000;

protected:
    std::mutex* StateLock() const override { return &m_lock; }

private:
    mutable std::mutex m_lock;
    int m_nFrame = 0;
};

// A plain 20 x 30 block that moves by its steps once per tick.
class CObstacle : public CGameObject {
public:
    CObstacle();
    ~CObstacle() override = default;

    void Init();
    // One tick of motion: the position changes by the truncated steps.
    void Advance();
};
