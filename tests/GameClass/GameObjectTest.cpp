#include "GameClass/GameObject.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>

namespace {

CGameObject MakeObject(int x, int y, int w, int h) {
    CGameObject o;
    o.SetPoint(x, y);
    o.SetSize(w, h);
    return o;
}

TEST(GameObject, FreshObjectSitsAtOriginWithSizeTen) {
    CGameObject o;
    EXPECT_EQ(o.GetPoint(), (gfx::Point{0, 0}));
    EXPECT_EQ(o.GetWidth(), 10);
    EXPECT_EQ(o.GetHeight(), 10);
    EXPECT_EQ(o.GetRect(), (gfx::Rect{-5, -5, 5, 5}));
    EXPECT_EQ(o.GetStepX(), 1.0);
    EXPECT_EQ(o.GetStepY(), 1.0);
    EXPECT_FALSE(o.IsMoving());
}

TEST(GameObject, BoundingRectangles) {
    struct Case {
        int x, y, w, h;
        gfx::Rect expected;
    };
    const Case cases[] = {
        {100, 120, 40, 40, {80, 100, 120, 140}},
        {10, 0, 5, 10, {8, -5, 12, 5}},  // odd width: half size truncated
        {500, 100, 20, 30, {490, 85, 510, 115}},
        {7, 7, 1, 1, {7, 7, 7, 7}},  // width 1: empty
        {-3, -3, 3, 3, {-4, -4, -2, -2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y << " " << c.w << "x" << c.h);
        EXPECT_EQ(MakeObject(c.x, c.y, c.w, c.h).GetRect(), c.expected);
    }
}

TEST(GameObject, OffsetShiftsReportsButNotPosition) {
    CGameObject o = MakeObject(10, 20, 10, 10);
    o.SetOffset(3, -4);
    EXPECT_EQ(o.GetPoint(), (gfx::Point{13, 16}));
    EXPECT_EQ(o.GetRect(), (gfx::Rect{8, 11, 18, 21}));
    // The distance measures from the own position without offset.
    EXPECT_EQ(o.GetDistance(10, 20), 0);
    o.SetTime(0);
    EXPECT_EQ(o.GetMovePoint(), (gfx::Point{10, 20}));
    EXPECT_EQ(o.GetMoveRect(), (gfx::Rect{8, 11, 18, 21}));
}

TEST(GameObject, HitTestEdges) {
    const CGameObject o = MakeObject(100, 120, 40, 40);
    struct Case {
        gfx::Point pt;
        bool hit;
    };
    const Case cases[] = {
        {{80, 100}, true},    // left-top corner is inside
        {{119, 139}, true},   // last column and row
        {{120, 120}, false},  // right edge is outside
        {{100, 140}, false},  // bottom edge is outside
        {{79, 120}, false},  {{100, 99}, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(o.HitTest(c.pt), c.hit) << c.pt.x << "," << c.pt.y;
    }
    const CGameObject thin = MakeObject(0, 0, 1, 10);
    EXPECT_FALSE(thin.HitTest({0, 0}));
}

TEST(GameObject, Intersects) {
    struct Case {
        int dx, dy, w;
        bool overlap;
    };
    const Case cases[] = {
        {10, 0, 10, false},  // edges touch only
        {9, 0, 10, true},   {0, 10, 10, false}, {0, 9, 10, true},
        {-9, -9, 10, true}, {0, 0, 1, false},  // an empty rectangle intersects nothing, not even
                                               // itself
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.dx << "," << c.dy << " w" << c.w);
        const CGameObject a = MakeObject(0, 0, c.w, 10);
        const CGameObject b = MakeObject(c.dx, c.dy, c.w, 10);
        EXPECT_EQ(a.Intersects(&b), c.overlap);
        EXPECT_EQ(b.Intersects(&a), c.overlap);
    }
}

TEST(GameObject, DiscreteMovesTruncateTowardZero) {
    struct Case {
        double sx, sy;
        gfx::Point afterMove, afterLeftUp;
    };
    const Case cases[] = {
        {-8.0, 0.0, {292, 50}, {308, 50}},
        {0.5, -0.5, {300, 50}, {300, 50}},
        {0.9, 0.9, {300, 50}, {300, 50}},
        {-8.7, 2.99, {292, 52}, {308, 48}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.sx << "," << c.sy);
        CGameObject o = MakeObject(300, 50, 10, 10);
        o.SetStepX(c.sx);
        o.SetStepY(c.sy);
        o.Move();
        EXPECT_EQ(o.GetPoint(), c.afterMove);
        o.SetPoint(300, 50);
        o.MoveLeft();
        o.MoveUp();
        EXPECT_EQ(o.GetPoint(), c.afterLeftUp);
        o.MoveRight();
        o.MoveDown();
        EXPECT_EQ(o.GetPoint(), (gfx::Point{300, 50}));  // minus a step moves exactly back
    }
}

TEST(GameObject, PositionSetters) {
    CGameObject o;
    o.SetPos(4, 5);
    EXPECT_EQ(o.GetPoint(), (gfx::Point{4, 5}));
    o.SetX(-1);
    o.SetY(-2);
    o.Offset(3, 3);
    EXPECT_EQ(o.GetPoint(), (gfx::Point{2, 1}));
}

TEST(GameObject, Distance) {
    struct Case {
        int x, y, expected;
    };
    const Case cases[] = {
        {3, 4, 5},
        {1, 1, 1},
        {-3, -4, 5},
        {0, 0, 0},
        // Squares that overflow 32 bits stay exact in 64.
        {60000, 80000, 100000},
        {INT_MAX, 0, INT_MAX},
        {46341, 0, 46341},
    };
    const CGameObject origin;
    for (const Case& c : cases) {
        EXPECT_EQ(origin.GetDistance(c.x, c.y), c.expected) << c.x << "," << c.y;
    }
    // Beyond the int range the distance saturates instead of wrapping.
    const CGameObject far = MakeObject(INT_MIN, INT_MIN, 10, 10);
    EXPECT_EQ(far.GetDistance(INT_MAX, INT_MAX), INT_MAX);
    // Exact floor of a large perfect square and its neighbour.
    const CGameObject o = MakeObject(-1'000'000'000, 0, 10, 10);
    EXPECT_EQ(o.GetDistance(1'000'000'000, 0), 2'000'000'000);
    EXPECT_EQ(o.GetDistance(1'000'000'000, 1), 2'000'000'000);

    const CGameObject other = MakeObject(3, 4, 10, 10);
    EXPECT_EQ(origin.GetDistance(&other), 5);
    // From this object's own position, without its offset, to the other's reported point,
    // with the other's offset.
    CGameObject shifted = MakeObject(0, 0, 10, 10);
    shifted.SetOffset(3, 4);
    EXPECT_EQ(shifted.GetDistance(&other), 5);
    EXPECT_EQ(other.GetDistance(&shifted), 0);
}

TEST(GameObject, MoveToTarget) {
    CGameObject o;
    o.SetTarget(10, 0);
    o.SetMoving(true);
    o.MoveToTarget(15);  // overshoots to 15, then lands on the target
    EXPECT_EQ(o.GetPoint(), (gfx::Point{10, 0}));
    EXPECT_FALSE(o.IsMoving());

    o.SetMoving(true);
    o.MoveToTarget(0);  // distance 0 is not less than 0
    EXPECT_TRUE(o.IsMoving());
    EXPECT_EQ(o.GetPoint(), (gfx::Point{10, 0}));

    CGameObject p;
    p.SetTarget(30, 40);
    p.SetMoving(true);
    p.MoveToTarget(10);  // a tenth of (30, 40) per call
    EXPECT_EQ(p.GetPoint(), (gfx::Point{6, 8}));
    EXPECT_TRUE(p.IsMoving());
    for (int i = 0; i < 3; ++i) {
        p.MoveToTarget(10);
    }
    EXPECT_EQ(p.GetPoint(), (gfx::Point{24, 32}));
    EXPECT_TRUE(p.IsMoving());  // 10 left: not less than the step
    p.MoveToTarget(10);
    EXPECT_EQ(p.GetPoint(), (gfx::Point{30, 40}));
    EXPECT_FALSE(p.IsMoving());
}

TEST(GameObject, MotionLaw) {
    CGameObject o = MakeObject(10, 20, 10, 10);
    EXPECT_EQ(o.GetMovePoint(), (gfx::Point{10, 20}));  // t = 0
    o.SetVelocity(3.0, -1.5);
    o.SetAccelX(1.0);
    o.SetAccelY(0.5);
    o.SetTime(2);
    // x = 10 + 6 + 2 = 18; y = 20 - 3 + 1 = 18.
    EXPECT_EQ(o.GetMovePoint(), (gfx::Point{18, 18}));
    EXPECT_EQ(o.GetMoveRect(), (gfx::Rect{13, 13, 23, 23}));
    EXPECT_EQ(o.GetPoint(), (gfx::Point{10, 20}));  // the object itself does not move
    EXPECT_DOUBLE_EQ(o.GetVelocityX(), 5.0);
    o.SetVelocity(-1.0, 0.0);
    o.SetAccelX(0.0);
    o.SetTime(3);
    EXPECT_EQ(o.GetMovePoint().x, 7);
    o.SetVelocity(-0.5, 0.0);
    o.SetTime(1);
    EXPECT_EQ(o.GetMovePoint().x, 9);  // 9.5 truncates toward zero
    o.ReverseVx();
    o.ReverseVy();
    EXPECT_DOUBLE_EQ(o.GetVelocityX(), 0.5);
}

TEST(GameObject, ToPixelTruncatesAndSaturates) {
    EXPECT_EQ(CGameObject::ToPixel(-8.7), -8);
    EXPECT_EQ(CGameObject::ToPixel(0.9), 0);
    EXPECT_EQ(CGameObject::ToPixel(-0.9), 0);
    EXPECT_EQ(CGameObject::ToPixel(1e300), INT_MAX);
    EXPECT_EQ(CGameObject::ToPixel(-1e300), INT_MIN);
    EXPECT_EQ(CGameObject::ToPixel(std::nan("")), 0);
}

}  // namespace
