#pragma once

#include <mutex>

#include "platform/graphics/Types.h"

// The common base of everything that moves in the game world: an integer centre and size,
// and double-precision velocity, acceleration and per-move step. Coordinates are world
// pixels, x to the right and y downwards; one tick is one frame of the game loop. Every
// conversion from a double to a pixel truncates toward zero (ToPixel).
//
// A plain object takes no lock; its owners coordinate access. A derived class whose objects
// two threads share names a lock in StateLock, and then every operation here holds that lock
// while it reads or writes the object's state, also when it is called through a reference to
// this base class. An operation that reads another object reads it first, under that object's
// own lock, so no operation holds two objects' locks at once.
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
    virtual int GetWidth() const;
    virtual void SetWidth(int width);
    virtual int GetHeight() const;
    virtual void SetHeight(int height);

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
    void ReverseVx();
    void ReverseVy();
    // The horizontal velocity at time m_nTime.
    double GetVelocityX() const;

    void SetAccelX(double ax);
    void SetAccelY(double ay);
    double GetAccelY() const;
    void SetStepX(double step);
    void SetStepY(double step);
    double GetStepX() const;
    double GetStepY() const;
    void SetTime(int t);
    int GetTime() const;
    void SetVelocity(double vx, double vy);
    // The target mechanism and the display offset have no setters in the game itself.
    void SetTarget(int x, int y);
    gfx::Point GetTarget() const;
    void SetMoving(bool moving);
    bool IsMoving() const;
    void SetOffset(int dx, int dy);

    // Truncates toward zero; values beyond the int range saturate (NaN gives 0) instead of
    // being undefined.
    static int ToPixel(double v);

protected:
    // The lock that guards this object's state, or nullptr for an object that only one
    // thread uses at a time. It must not be re-entered: an operation that holds it calls
    // only the unlocked helpers below.
    virtual std::mutex* StateLock() const { return nullptr; }

    // Holds StateLock() of an object for the lifetime of the scope, when it has one.
    class StateGuard {
    public:
        explicit StateGuard(const CGameObject* object) : m_pLock(object->StateLock()) {
            if (m_pLock != nullptr) {
                m_pLock->lock();
            }
        }
        ~StateGuard() {
            if (m_pLock != nullptr) {
                m_pLock->unlock();
            }
        }
        StateGuard(const StateGuard&) = delete;
        StateGuard& operator=(const StateGuard&) = delete;

    private:
        std::mutex* m_pLock;
    };

    // Unlocked helpers, for callers that hold the state lock.
    // The rectangle around `centre` (no offset applied).
    gfx::Rect RectAround(gfx::Point centre) const;
    gfx::Rect OffsetRect() const;
    int DistanceTo(int x, int y) const;
    gfx::Point MovePoint() const;

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
