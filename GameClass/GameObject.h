#pragma once

#include "platform/graphics/Types.h"

// The common base of everything that moves in the game world: an integer centre and size,
// and double-precision velocity, acceleration and per-move step. Coordinates are world
// pixels, x to the right and y downwards; one tick is one frame of the game loop. Every
// conversion from a double to a pixel truncates toward zero (ToPixel).
//
// The class takes no lock; owners that share an object between threads coordinate access.
class CGameObject {
public:
    CGameObject() = default;
    virtual ~CGameObject() = default;

    // The bounding rectangle around the position, shifted by the display offset. Half sizes
    // are truncated, so an odd size gives a rectangle one pixel smaller than the size.
    virtual gfx::Rect GetRect() const;
    // The position shifted by the display offset.
    virtual gfx::Point GetPoint() const;
    virtual void SetPoint(int x, int y);
    virtual void SetPos(int x, int y);
    virtual void SetX(int x);
    virtual void SetY(int y);
    virtual void Offset(int dx, int dy);
    virtual void MoveLeft();
    virtual void MoveRight();
    virtual void MoveUp();
    virtual void MoveDown();
    // One discrete move by both steps: the per-tick motion of obstacles.
    virtual void Move();
    virtual int GetWidth() const { return m_nWidth; }
    virtual void SetWidth(int width) { m_nWidth = width; }
    virtual int GetHeight() const { return m_nHeight; }
    virtual void SetHeight(int height) { m_nHeight = height; }

    void SetSize(int width, int height);
    // The distance from this object's own position (without offset) to the other's reported
    // point, truncated. Squares are summed in 64 bits, so large separations stay exact; a
    // distance beyond the int range reports INT_MAX.
    int GetDistance(const CGameObject* other) const;
    int GetDistance(int x, int y) const;
    // Whether the point lies inside GetRect (left and top edges inside, right and bottom not).
    bool HitTest(gfx::Point pt) const;
    // Whether the two bounding rectangles overlap; a shared edge is no overlap.
    bool Intersects(const CGameObject* other) const;
    // Moves up to `step` pixels toward the target and snaps onto it once closer than `step`.
    void MoveToTarget(int step);
    // The position at time m_nTime by the law of uniformly accelerated motion, starting from
    // m_ptPos; the object itself does not move.
    gfx::Point GetMovePoint() const;
    gfx::Rect GetMoveRect() const;
    void ReverseVx() { m_dVx = -m_dVx; }
    void ReverseVy() { m_dVy = -m_dVy; }
    // The horizontal velocity at time m_nTime.
    double GetVelocityX() const { return m_dVx + m_dAx * m_nTime; }

    void SetAccelX(double ax) { m_dAx = ax; }
    void SetAccelY(double ay) { m_dAy = ay; }
    double GetAccelY() const { return m_dAy; }
    void SetStepX(double step) { m_dStepX = step; }
    void SetStepY(double step) { m_dStepY = step; }
    double GetStepX() const { return m_dStepX; }
    double GetStepY() const { return m_dStepY; }
    void SetTime(int t) { m_nTime = t; }
    int GetTime() const { return m_nTime; }
    void SetVelocity(double vx, double vy) {
        m_dVx = vx;
        m_dVy = vy;
    }
    // The target mechanism and the display offset have no setters in the game itself.
    void SetTarget(int x, int y) { m_ptTarget = {x, y}; }
    gfx::Point GetTarget() const { return m_ptTarget; }
    void SetMoving(bool moving) { m_bMoving = moving ? 1 : 0; }
    bool IsMoving() const { return m_bMoving != 0; }
    void SetOffset(int dx, int dy) { m_ptOffset = {dx, dy}; }

    // Truncates toward zero; values beyond the int range saturate (NaN gives 0) instead of
    // being undefined.
    static int ToPixel(double v);

protected:
    // The rectangle around `centre` (no offset applied).
    gfx::Rect RectAround(gfx::Point centre) const;

    gfx::Point m_ptPos;
    int m_nWidth = 10;
    int m_nHeight = 10;
    double m_dVx = 0.0;
    double m_dVy = 0.0;
    double m_dAx = 0.0;
    double m_dAy = 0.0;
    double m_dStepX = 1.0;
    double m_dStepY = 1.0;
    gfx::Point m_ptOffset;
    gfx::Point m_ptTarget;
    int m_bMoving = 0;
    int m_nTime = 0;
};
