#include "app/BirdEvent.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/system/Clock.h"
#include "platform/system/Random.h"
#include "tests/app/WorldTestSupport.h"

namespace {

using worldtest::ClockScope;
using worldtest::TestWorld;

class BirdEventTest : public testing::Test {
protected:
    BirdEventTest() : scope_(&clock_) { world_.SetFieldRect(0, 0, 400, 300); }

    // The seed CreateObstacles uses right now.
    unsigned Seed() { return static_cast<unsigned>(clock_.Time()); }

    sys::VirtualClock clock_;
    ClockScope scope_;
    TestWorld world_;
};

TEST_F(BirdEventTest, PlaceBirdPutsTheChickAtX100OnTheFieldsCentreAndKeepsItsVelocity) {
    world_.m_bird.SetVelocity(0.0, 6.0);
    world_.PlaceBird();
    EXPECT_EQ(world_.m_bird.GetPoint(), (gfx::Point{100, 150}));
    EXPECT_EQ(world_.m_bird.GetVelocityY(), 6.0);
    world_.SetFieldRect(0, -7, 400, 0);  // the centre truncates toward zero: -3
    world_.PlaceBird();
    EXPECT_EQ(world_.m_bird.GetPoint(), (gfx::Point{100, -3}));
}

TEST_F(BirdEventTest, EachStageGetsItsCountAndStepsByIndex) {
    for (int n = 1; n <= 5; ++n) {
        const int count = 5 * (n - 1) + 10;
        SCOPED_TRACE(count);
        world_.CreateObstacles(count);
        ASSERT_EQ(world_.GetObstacleCount(), count);
        for (int i = 0; i < count; ++i) {
            const CObstacle* o = world_.Obstacle(i);
            ASSERT_NE(o, nullptr);
            EXPECT_EQ(o->GetStepX(), i % 9 == 0 ? -16.0 : -8.0) << i;
            EXPECT_EQ(o->GetStepY(), i % 5 == 0 ? -2.0 : 0.0) << i;
        }
    }
    world_.CreateObstacles(10);  // the previous stage's obstacles are all gone
    EXPECT_EQ(world_.GetObstacleCount(), 10);
    world_.CreateObstacles(0);
    EXPECT_EQ(world_.GetObstacleCount(), 0);
    world_.Tick();  // walks over nothing
    EXPECT_EQ(world_.CountInField(), 0);
    EXPECT_FALSE(world_.IsHit());
}

TEST_F(BirdEventTest, SpawnsWithTwoDrawsPerObstacleXThenY) {
    for (int second = 0; second < 20; ++second) {
        world_.CreateObstacles(30);
        sys::Random random(Seed());
        for (int i = 0; i < 30; ++i) {
            const int x = random.Next() % 600 + 200;
            const int y = random.Next() % 300;
            const gfx::Point p = world_.Obstacle(i)->GetPoint();
            ASSERT_EQ(p, (gfx::Point{x, y})) << i;
            ASSERT_GE(p.x, 200);
            ASSERT_LE(p.x, 799);
            ASSERT_GE(p.y, 0);
            ASSERT_LE(p.y, 299);
        }
        clock_.Sleep(1000);  // the next calendar second reseeds differently
    }
}

// The first stage of the game's own field for one second, as every home lays it out.
TEST_F(BirdEventTest, TheFirstStageForOneSecondIsTheSameInEveryHome) {
    world_.SetFieldRect(0, 0, 468, 326);
    world_.CreateObstacles(10);  // at second 1'700'000'000
    std::vector<gfx::Point> points;
    for (int i = 0; i < 10; ++i) {
        points.push_back(world_.Obstacle(i)->GetPoint());
    }
    EXPECT_EQ(points, (std::vector<gfx::Point>{{694, 49},
                                               {783, 16},
                                               {901, 62},
                                               {853, 257},
                                               {643, 168},
                                               {769, 1},
                                               {576, 89},
                                               {533, 292},
                                               {919, 172},
                                               {534, 280}}));
}

TEST_F(BirdEventTest, ReseedsFromTheCalendarTimeAtEveryCall) {
    world_.CreateObstacles(10);
    const gfx::Point first = world_.Obstacle(0)->GetPoint();
    world_.CreateObstacles(10);  // same second: the same layout
    EXPECT_EQ(world_.Obstacle(0)->GetPoint(), first);
}

// A field too narrow or flat for the placement formula still gets its obstacles, each on
// the single position left on that axis, and the generator is drawn twice per obstacle.
TEST_F(BirdEventTest, NarrowOrFlatFieldsPlaceWithoutDividingByZero) {
    struct Case {
        gfx::Rect field;
        int xMin, xMax, yMin, yMax;
    };
    const Case cases[] = {
        {{0, 0, 100, 0}, 200, 200, 0, 0},       // W = 100: 2W - 200 = 0; no height
        {{0, 0, 50, 300}, 200, 200, 0, 299},    // negative span
        {{10, 20, 111, 21}, 210, 211, 20, 20},  // W = 101: two positions; height 1
        {{0, 10, 400, 5}, 200, 799, 10, 10},    // bottom above top
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.field.left << "," << c.field.top << ","
                                        << c.field.right << "," << c.field.bottom);
        world_.SetFieldRect(c.field.left, c.field.top, c.field.right, c.field.bottom);
        world_.CreateObstacles(12);
        ASSERT_EQ(world_.GetObstacleCount(), 12);
        for (int i = 0; i < 12; ++i) {
            const gfx::Point p = world_.Obstacle(i)->GetPoint();
            EXPECT_GE(p.x, c.xMin);
            EXPECT_LE(p.x, c.xMax);
            EXPECT_GE(p.y, c.yMin);
            EXPECT_LE(p.y, c.yMax);
        }
        sys::Random random(Seed());
        for (int i = 0; i < 24; ++i) {
            random.Next();
        }
        EXPECT_EQ(world_.m_random.Next(), random.Next());
    }
}

TEST_F(BirdEventTest, ObstaclesBounceJustBeyondTheTopAndBottom) {
    struct Case {
        int y;
        double stepY;
        int yAfter;
        double stepAfter;
    };
    const Case cases[] = {
        {299, 2.0, 301, -2.0},  // beyond the bottom: turned back
        {298, 2.0, 300, 2.0},   // on the bottom: kept (though outside the field)
        {1, -2.0, -1, 2.0},     // above the top: turned back
        {2, -2.0, 0, -2.0},     // on the top: kept
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.y);
        CObstacle* o = world_.OneStillObstacle(300, c.y);
        o->SetStepY(c.stepY);
        world_.Tick();
        EXPECT_EQ(o->GetPoint(), (gfx::Point{300, c.yAfter}));
        EXPECT_EQ(o->GetStepY(), c.stepAfter);
    }
    CObstacle* o = world_.OneStillObstacle(300, 300);
    world_.Tick();
    EXPECT_EQ(world_.CountInField(), 0);  // y = bottom is not inside
    o->SetPoint(300, 299);
    EXPECT_EQ(world_.CountInField(), 1);
}

TEST_F(BirdEventTest, TickAdvancesEveryObstacleThenTheChickFalls) {
    world_.CreateObstacles(10);
    std::vector<gfx::Point> before;
    for (int i = 0; i < 10; ++i) {
        before.push_back(world_.Obstacle(i)->GetPoint());
    }
    world_.PlaceBird();
    world_.Tick();
    for (int i = 0; i < 10; ++i) {
        const gfx::Point p = world_.Obstacle(i)->GetPoint();
        EXPECT_EQ(p.x, before[i].x + (i % 9 == 0 ? -16 : -8));
        EXPECT_EQ(p.y, before[i].y + (i % 5 == 0 ? -2 : 0));
    }
    EXPECT_EQ(world_.m_bird.GetPoint(), (gfx::Point{100, 152}));
}

TEST_F(BirdEventTest, TheChickIsOutFromTheFieldsBottomRow) {
    struct Case {
        int y;
        bool out;
    };
    const Case cases[] = {{299, false}, {300, true}, {0, false}, {-1, true}, {150, false}};
    for (const Case& c : cases) {
        world_.m_bird.SetPoint(100, c.y);
        EXPECT_EQ(world_.IsOut(), c.out) << c.y;
    }
}

TEST_F(BirdEventTest, HitsOnTheLeftAndTopEdgesOnly) {
    world_.OneStillObstacle(500, 100);  // (490, 85, 510, 115)
    world_.SetFieldRect(0, 0, 1000, 300);
    struct Case {
        gfx::Point bird;
        bool hit;
    };
    const Case cases[] = {
        {{490, 85}, true},   {{509, 114}, true},  {{490, 100}, true},  {{500, 85}, true},
        {{510, 100}, false}, {{500, 115}, false}, {{489, 100}, false}, {{500, 84}, false},
    };
    for (const Case& c : cases) {
        world_.m_bird.SetPoint(c.bird.x, c.bird.y);
        EXPECT_EQ(world_.IsHit(), c.hit) << c.bird.x << "," << c.bird.y;
    }
}

TEST_F(BirdEventTest, ATickCanBeBothHitAndOut) {
    world_.OneStillObstacle(100, 305);  // (90, 290, 110, 320) straddles the bottom
    world_.m_bird.SetPoint(100, 300);
    world_.m_bird.SetVelocity(0.0, -2.0);  // the next Fall keeps it at 300
    world_.Tick();
    EXPECT_EQ(world_.m_bird.GetPoint().y, 300);
    EXPECT_TRUE(world_.IsHit());
    EXPECT_TRUE(world_.IsOut());
}

TEST_F(BirdEventTest, CountsOnlyObstacleCentresInsideTheField) {
    world_.m_listObstacle.DeleteAll();
    const gfx::Point points[] = {{0, 0},    {399, 299}, {400, 100}, {-1, 100},
                                 {100, -1}, {200, 300}, {200, 150}};
    for (const gfx::Point& p : points) {
        world_.m_listObstacle.AddNew()->SetPoint(p.x, p.y);
    }
    EXPECT_EQ(world_.CountInField(), 3);
}

TEST_F(BirdEventTest, GetObstacleRectIsEmptyWithoutAnObstacle) {
    world_.OneStillObstacle(500, 100);
    EXPECT_EQ(world_.GetObstacleRect(0), (gfx::Rect{490, 85, 510, 115}));
    EXPECT_TRUE(world_.GetObstacleRect(1).IsEmpty());
    EXPECT_TRUE(world_.GetObstacleRect(-1).IsEmpty());
}

TEST_F(BirdEventTest, PressFlapsAndShowsTheSecondFrameReleaseTheFirst) {
    world_.PlaceBird();
    world_.Press(0, 0);
    EXPECT_EQ(world_.m_bird.GetFrame(), 1);
    world_.Press(10, 10);
    EXPECT_EQ(world_.m_bird.GetVelocityY(), -10.0);  // two presses before a tick
    world_.Release(0, 0);
    EXPECT_EQ(world_.m_bird.GetFrame(), 0);
    world_.Tick();
    EXPECT_EQ(world_.m_bird.GetPoint().y, 150 - 8);
    world_.SetBirdFrame(1);
    EXPECT_EQ(world_.m_bird.GetFrame(), 1);
}

TEST_F(BirdEventTest, PlayingFlagAndStageLabel) {
    EXPECT_TRUE(world_.IsTitle());
    EXPECT_FALSE(world_.IsPlaying());
    world_.SetPlaying();
    EXPECT_TRUE(world_.IsPlaying());
    EXPECT_FALSE(world_.IsTitle());
    world_.ResetPlaying();
    EXPECT_TRUE(world_.IsTitle());
    EXPECT_EQ(world_.GetStageText(), "");
    world_.SetStageText("Stage3 / 5");
    EXPECT_EQ(world_.GetStageText(), "Stage3 / 5");
}

TEST_F(BirdEventTest, ButtonHitTestsIncludeLeftAndTopEdgesOnly) {
    world_.SetStartRect(162, 149, 293, 191);
    world_.SetStopRect(360, 327, 467, 359);
    world_.SetExitRect(164, 218, 294, 260);
    EXPECT_TRUE(world_.HitStart(162, 149));
    EXPECT_FALSE(world_.HitStart(293, 150));
    EXPECT_FALSE(world_.HitStart(200, 191));
    EXPECT_TRUE(world_.HitStop(466, 358));
    EXPECT_FALSE(world_.HitStop(467, 358));
    EXPECT_TRUE(world_.HitExit(164, 259));
    EXPECT_FALSE(world_.HitExit(163, 259));
}

}  // namespace
