#include "app/Bird.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/res/TolvaneResources.h"
#include "app/res/resource.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/DeviceContext.h"
#include "platform/system/Resources.h"
#include "tests/support/AssertRecorder.h"
#include "tests/support/LockProbe.h"
#include "tests/support/Pattern.h"
#include "tests/support/RealThreads.h"

namespace {

TEST(Bird, NewBirdIsA40By40BoxAtTheOriginWithFrame0) {
    const CBird bird;
    EXPECT_EQ(bird.GetRect(), (gfx::Rect{-20, -20, 20, 20}));
    EXPECT_EQ(bird.GetFrame(), 0);
    EXPECT_EQ(bird.GetVelocityY(), 0.0);
    EXPECT_EQ(bird.GetAccelY(), 2.0);
    EXPECT_EQ(bird.GetStepX(), 0.0);
    EXPECT_EQ(bird.GetStepY(), 5.0);
    EXPECT_EQ(bird.GetTime(), 0);
}

TEST(Bird, FallsUnderGravity) {
    CBird bird;
    bird.SetPoint(100, 120);
    const int ys[] = {122, 126, 132, 140};
    for (int i = 0; i < 4; ++i) {
        bird.Fall();
        EXPECT_EQ(bird.GetPoint(), (gfx::Point{100, ys[i]}));
        EXPECT_EQ(bird.GetVelocityY(), 2.0 * (i + 1));
        EXPECT_EQ(bird.GetTime(), i + 1);
    }
}

TEST(Bird, FlapsChangeOnlyTheVelocityUntilTheNextFall) {
    struct Case {
        int fallsBefore;
        int flaps;
        double velocityAfterFlaps;
        int moveAtNextFall;
    };
    const Case cases[] = {
        {2, 1, -1.0, 1},    // at velocity 4 a flap makes -1; the next tick moves 1 down
        {0, 2, -10.0, -8},  // two flaps from rest: -10, the next tick moves 8 up
        {0, 1, -5.0, -3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.fallsBefore << " falls, " << c.flaps << " flaps");
        CBird bird;
        bird.SetPoint(100, 120);
        for (int i = 0; i < c.fallsBefore; ++i) {
            bird.Fall();
        }
        const gfx::Point before = bird.GetPoint();
        bird.SetStepY(7.0);  // the flap is the constant 5, not the vertical step
        for (int i = 0; i < c.flaps; ++i) {
            bird.MoveUp();
        }
        EXPECT_EQ(bird.GetPoint(), before);
        EXPECT_EQ(bird.GetVelocityY(), c.velocityAfterFlaps);
        bird.Fall();
        EXPECT_EQ(bird.GetPoint().y, before.y + c.moveAtNextFall);
    }
}

TEST(Bird, HugeVelocitiesClampThePositionInsteadOfOverflowing) {
    CBird bird;
    bird.SetPoint(100, 0);
    bird.SetVelocity(0.0, 1e12);
    bird.Fall();
    EXPECT_EQ(bird.GetPoint().y, CBird::kPositionLimit);
    EXPECT_EQ(bird.GetRect().bottom, CBird::kPositionLimit + 20);
    bird.SetVelocity(0.0, -1e300);
    bird.Fall();
    EXPECT_EQ(bird.GetPoint().y, -CBird::kPositionLimit);
}

TEST(Obstacle, IsA20By30BlockMovingByItsSteps) {
    CObstacle o;
    EXPECT_EQ(o.GetWidth(), 20);
    EXPECT_EQ(o.GetHeight(), 30);
    o.SetPoint(500, 100);
    EXPECT_EQ(o.GetRect(), (gfx::Rect{490, 85, 510, 115}));
    o.Advance();  // steps never set: (1, 1)
    EXPECT_EQ(o.GetPoint(), (gfx::Point{501, 101}));
    o.SetPoint(500, 100);
    o.SetStepX(-8.0);
    o.SetStepY(0.0);
    o.Advance();
    EXPECT_EQ(o.GetPoint(), (gfx::Point{492, 100}));
}

// One thread flaps while another ticks; every flap must survive in the velocity.
TEST(Bird, NoFlapIsLostToAConcurrentFall) {
    TOLVANE_NEEDS_REAL_THREADS();
    constexpr int kCount = 100000;
    CBird bird;
    bird.SetPoint(100, 0);
    std::atomic<bool> go{false};
    std::thread flapper([&] {
        while (!go) {
        }
        for (int i = 0; i < kCount; ++i) {
            bird.MoveUp();
        }
    });
    std::thread ticker([&] {
        while (!go) {
        }
        for (int i = 0; i < kCount; ++i) {
            bird.Fall();
        }
    });
    go = true;
    flapper.join();
    ticker.join();
    EXPECT_EQ(bird.GetVelocityY(), kCount * 2.0 - kCount * 5.0);
    EXPECT_EQ(bird.GetTime(), kCount);
}

// The chick with its lock in reach.
class HeldBird : public CBird {
public:
    std::mutex& Lock() const { return *StateLock(); }
};

// Every operation on the chick waits while another thread holds the chick's lock, also the
// base class's operations called through a reference to the base.
TEST(Bird, EveryOperationTakesTheChicksLockAlsoThroughTheBase) {
    TOLVANE_NEEDS_REAL_THREADS();
    // Without its bitmaps Draw stops before the decoder, which would keep per-thread data of
    // its own on the probe's threads and never free it.
    sys::InstallResources(nullptr);
    HeldBird bird;
    CGameObject& base = bird;
    const CGameObject other;
    gfx::Bitmap surface(60, 60);
    gfx::DeviceContext dc;
    dc.SelectObject(&surface);
    const std::vector<testsupport::NamedOp> ops = {
        {"GetRect", [&] { (void)base.GetRect(); }},
        {"GetPoint", [&] { (void)base.GetPoint(); }},
        {"SetPoint", [&] { base.SetPoint(1, 2); }},
        {"SetPos", [&] { base.SetPos(1, 2); }},
        {"SetX", [&] { base.SetX(1); }},
        {"SetY", [&] { base.SetY(2); }},
        {"Offset", [&] { base.Offset(1, 1); }},
        {"MoveLeft", [&] { base.MoveLeft(); }},
        {"MoveRight", [&] { base.MoveRight(); }},
        {"MoveUp", [&] { base.MoveUp(); }},
        {"MoveDown", [&] { base.MoveDown(); }},
        {"Move", [&] { base.Move(); }},
        {"GetWidth", [&] { (void)base.GetWidth(); }},
        {"SetWidth", [&] { base.SetWidth(40); }},
        {"GetHeight", [&] { (void)base.GetHeight(); }},
        {"SetHeight", [&] { base.SetHeight(40); }},
        {"SetSize", [&] { base.SetSize(40, 40); }},
        {"GetDistance to a point", [&] { (void)base.GetDistance(3, 4); }},
        {"GetDistance to an object", [&] { (void)base.GetDistance(&other); }},
        {"HitTest",
         [&] {
             (void)base.HitTest({0, 0});
         }},
        {"Intersects", [&] { (void)base.Intersects(&other); }},
        {"MoveToTarget", [&] { base.MoveToTarget(3); }},
        {"GetMovePoint", [&] { (void)base.GetMovePoint(); }},
        {"GetMoveRect", [&] { (void)base.GetMoveRect(); }},
        {"ReverseVx", [&] { base.ReverseVx(); }},
        {"ReverseVy", [&] { base.ReverseVy(); }},
        {"GetVelocityX", [&] { (void)base.GetVelocityX(); }},
        {"SetAccelX", [&] { base.SetAccelX(0.0); }},
        {"SetAccelY", [&] { base.SetAccelY(2.0); }},
        {"GetAccelY", [&] { (void)base.GetAccelY(); }},
        {"SetStepX", [&] { base.SetStepX(0.0); }},
        {"SetStepY", [&] { base.SetStepY(5.0); }},
        {"GetStepX", [&] { (void)base.GetStepX(); }},
        {"GetStepY", [&] { (void)base.GetStepY(); }},
        {"SetTime", [&] { base.SetTime(3); }},
        {"GetTime", [&] { (void)base.GetTime(); }},
        {"SetVelocity", [&] { base.SetVelocity(0.0, 1.0); }},
        {"SetTarget", [&] { base.SetTarget(5, 5); }},
        {"GetTarget", [&] { (void)base.GetTarget(); }},
        {"SetMoving", [&] { base.SetMoving(true); }},
        {"IsMoving", [&] { (void)base.IsMoving(); }},
        {"SetOffset", [&] { base.SetOffset(0, 0); }},
        {"Fall", [&] { bird.Fall(); }},
        {"Rest", [&] { bird.Rest(); }},
        {"SetFrame", [&] { bird.SetFrame(1); }},
        {"GetFrame", [&] { (void)bird.GetFrame(); }},
        {"GetVelocityY", [&] { (void)bird.GetVelocityY(); }},
        {"Draw", [&] { bird.Draw(&dc); }},
    };
    const auto hold = [&](const std::function<void()>& inside) {
        std::lock_guard lock(bird.Lock());
        inside();
    };
    EXPECT_EQ(testsupport::OpsThatIgnoreTheLock(hold, ops), "");
    InstallTolvaneResources();
}

// The sprite on a patterned background, composed by hand from the same resources:
// (background OR mask) AND colour inside the 40 x 40 box, untouched outside.
class BirdDraw : public testing::Test {
protected:
    void SetUp() override { InstallTolvaneResources(); }
    void TearDown() override { InstallTolvaneResources(); }

    static gfx::Colour Background(int x, int y) { return testsupport::PatternColour(x, y); }
    static void FillBackground(gfx::Bitmap& b) { testsupport::FillPattern(b); }
};

TEST_F(BirdDraw, ComposesMaskAndColourFrameAtTheBox) {
    struct Case {
        int frame;
        int maskId, colourId;
    };
    const Case cases[] = {{0, IDB_BIRD_MASK0, IDB_BIRD0}, {1, IDB_BIRD_MASK1, IDB_BIRD1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.frame);
        gfx::Bitmap mask;
        gfx::Bitmap colour;
        ASSERT_TRUE(sys::LoadBitmap(c.maskId, mask));
        ASSERT_TRUE(sys::LoadBitmap(c.colourId, colour));
        ASSERT_EQ(mask.Width(), 40);
        ASSERT_EQ(colour.Height(), 40);

        gfx::Bitmap surface(200, 200);
        FillBackground(surface);
        gfx::DeviceContext dc;
        dc.SelectObject(&surface);
        CBird bird;
        bird.SetPoint(100, 120);
        bird.SetFrame(c.frame);
        bird.Draw(&dc);

        int wrong = 0;
        for (int y = 0; y < 200; ++y) {
            for (int x = 0; x < 200; ++x) {
                gfx::Colour expected = Background(x, y);
                if (x >= 80 && x < 120 && y >= 100 && y < 140) {
                    expected = (expected | mask.GetPixel(x - 80, y - 100)) &
                               colour.GetPixel(x - 80, y - 100);
                }
                wrong += surface.GetPixel(x, y) != expected ? 1 : 0;
            }
        }
        EXPECT_EQ(wrong, 0);
    }
}

TEST_F(BirdDraw, TheTwoFramesDiffer) {
    gfx::Bitmap pictures[2];
    for (int frame = 0; frame < 2; ++frame) {
        pictures[frame] = gfx::Bitmap(40, 40, 0x123456);
        gfx::DeviceContext dc;
        dc.SelectObject(&pictures[frame]);
        CBird bird;
        bird.SetPoint(20, 20);
        bird.SetFrame(frame);
        bird.Draw(&dc);
    }
    int differing = 0;
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 40; ++x) {
            differing += pictures[0].GetPixel(x, y) != pictures[1].GetPixel(x, y) ? 1 : 0;
        }
    }
    EXPECT_GT(differing, 0);
}

TEST_F(BirdDraw, DrawsNothingWithoutItsBitmaps) {
    sys::InstallResources(nullptr);
    gfx::Bitmap surface(100, 100);
    FillBackground(surface);
    const gfx::Bitmap before = surface;
    gfx::DeviceContext dc;
    dc.SelectObject(&surface);
    CBird bird;
    bird.SetPoint(50, 50);
    bird.Draw(&dc);
    EXPECT_TRUE(std::equal(before.Data(), before.Data() + 100 * 100, surface.Data()));
}

#ifndef NDEBUG
TEST(Bird, FrameTwoAsserts) {
    testsupport::AssertRecorder asserts;
    CBird bird;
    bird.SetFrame(1);
    bird.SetFrame(2);
    EXPECT_EQ(asserts.Count(), 1);
}
#endif

}  // namespace
