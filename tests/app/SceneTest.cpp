#include "app/BirdEvent.h"

#include <gtest/gtest.h>

#include <string>

#include "GClass/SerrikDC.h"
#include "app/DialogLayout.h"

#include "app/res/TolvaneResources.h"
#include "app/res/resource.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/DeviceContext.h"
#include "platform/system/Resources.h"
#include "tests/app/WorldTestSupport.h"

namespace {

using worldtest::TestWorld;

constexpr gfx::Colour kFace = 0xF0F0F0;  // what the window erases to
constexpr gfx::Colour kBlack = 0x000000;
constexpr gfx::Colour kTitleFill = 0xF0F0FF;
constexpr gfx::Colour kButton = 0xFAFAFA;
constexpr gfx::Colour kHoverFill = 0x9875EF;
constexpr gfx::Colour kHoverOutline = 0x8C8C8C;
constexpr gfx::Colour kCaption = 0xCC000C;
constexpr gfx::Colour kSky = 0xDEBD89;
constexpr gfx::Colour kObstacleOutline = 0x262626;
constexpr gfx::Colour kObstacleFill = 0x8C8C8C;
constexpr gfx::Colour kBandOutline = 0x8C8C8C;
constexpr gfx::Colour kBandFill = 0xE0C4B7;
constexpr gfx::Colour kStatusText = 0x00D1E5;

// The main dialog's layout in pixels, from its template in dialog units.
const gfx::Rect kField{0, 0, 468, 326};
const gfx::Rect kTitle{71, 53, 386, 113};
const gfx::Rect kStart{162, 149, 293, 191};
const gfx::Rect kExit{164, 218, 294, 260};
const gfx::Rect kStop{360, 327, 467, 359};
constexpr int kClientWidth = 467;
constexpr int kClientHeight = 359;

TEST(SceneLayout, PixelRectanglesMatchTheTemplatesDialogUnits) {
    struct Case {
        int x, y, cx, cy;
        gfx::Rect px;
    };
    const Case cases[] = {
        {0, 0, 312, 217, kField},  {47, 35, 210, 40, kTitle}, {108, 99, 87, 28, kStart},
        {109, 145, 87, 28, kExit}, {240, 218, 71, 21, kStop},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(sys::DialogUnitsToPixels(c.x, c.y, c.cx, c.cy), c.px) << c.x << "," << c.y;
    }
}

class Scene : public testing::Test {
protected:
    Scene() : client_(kClientWidth, kClientHeight, kFace) {
        InstallTolvaneResources();
        target_.SelectObject(&client_);
        LayOutWorldFromTemplate(world_);
        world_.SetTitleText("Kovalo");
    }

    void Paint(const std::string& status = "") { world_.Paint(&target_, status); }
    gfx::Colour At(int x, int y) const { return client_.GetPixel(x, y); }

    // Pixels of exactly `colour` inside `rc`.
    int Count(const gfx::Rect& rc, gfx::Colour colour) const {
        int n = 0;
        for (int y = rc.top; y < rc.bottom; ++y) {
            for (int x = rc.left; x < rc.right; ++x) {
                n += At(x, y) == colour ? 1 : 0;
            }
        }
        return n;
    }

    // A game scene with one still obstacle and the chick at its start.
    void StartGame() {
        world_.SetPlaying();
        world_.SetStageText("Stage1 / 5");
        world_.PlaceBird();                 // (100, 163)
        world_.OneStillObstacle(300, 250);  // (290, 235, 310, 265)
    }

    gfx::Bitmap client_;
    gfx::DeviceContext target_;
    TestWorld world_;
};

TEST_F(Scene, TitleScreen) {
    Paint("ignored on the title screen");
    EXPECT_EQ(At(0, 0), kBlack);
    EXPECT_EQ(At(466, 325), kBlack);
    EXPECT_EQ(At(70, 60), kBlack);
    EXPECT_EQ(At(71, 53), kTitleFill);    // outline in the fill colour
    EXPECT_EQ(At(385, 112), kTitleFill);  // last column and row of the box
    EXPECT_EQ(At(386, 112), kBlack);
    EXPECT_EQ(At(75, 57), kTitleFill);
    EXPECT_GT(Count(kTitle, kCaption), 0);  // "Kovalo"
    for (const gfx::Rect& button : {kStart, kExit}) {
        EXPECT_EQ(At(button.left, button.top), kButton);
        EXPECT_EQ(At(button.left + 2, button.top + 2), kButton);
        EXPECT_EQ(At(button.right, button.top + 2), kBlack);
        EXPECT_GT(Count(button, kCaption), 0);
    }
    // No chick, obstacle, band or stage label on the title screen, and no Stop button.
    EXPECT_EQ(Count({0, 0, 468, 30}, kCaption), 0);
    EXPECT_EQ(Count({0, 120, 160, 326}, kBlack), 160 * 206);
    EXPECT_EQ(Count(kStop, kFace), kStop.Width() * kStop.Height());
}

TEST_F(Scene, HoverHighlightsAButtonAtTheNextPaint) {
    world_.UpdateHover(kStart.left, kStart.top);
    Paint();
    EXPECT_EQ(At(kStart.left, kStart.top), kHoverOutline);
    EXPECT_EQ(At(kStart.right - 1, kStart.bottom - 1), kHoverOutline);
    EXPECT_EQ(At(kStart.left + 2, kStart.top + 2), kHoverFill);
    EXPECT_EQ(At(kExit.left + 2, kExit.top + 2), kButton);

    world_.UpdateHover(kExit.right - 1, kExit.bottom - 1);
    Paint();
    EXPECT_EQ(At(kStart.left + 2, kStart.top + 2), kButton);
    EXPECT_EQ(At(kStart.left, kStart.top), kButton);
    EXPECT_EQ(At(kExit.left + 2, kExit.top + 2), kHoverFill);

    world_.UpdateHover(kExit.right, kExit.bottom - 1);  // just off the right edge
    Paint();
    EXPECT_EQ(At(kExit.left + 2, kExit.top + 2), kButton);
}

TEST_F(Scene, GameSceneLayers) {
    StartGame();
    Paint();
    EXPECT_EQ(At(5, 100), kSky);
    EXPECT_EQ(At(466, 325), kSky);
    // The obstacle over the sky.
    EXPECT_EQ(At(290, 235), kObstacleOutline);
    EXPECT_EQ(At(309, 264), kObstacleOutline);
    EXPECT_EQ(At(291, 236), kObstacleFill);
    EXPECT_EQ(At(310, 250), kSky);
    EXPECT_EQ(At(300, 265), kSky);
    // No band for an empty status text.
    EXPECT_EQ(At(11, 134), kSky);
    EXPECT_EQ(At(300, 163), kSky);
    // The stage label in the strip from the top to y = 30, and nowhere below it.
    EXPECT_GT(Count({0, 0, 468, 30}, kCaption), 0);
    EXPECT_EQ(Count({0, 30, 468, 60}, kCaption), 0);
    // The Stop button below the field, copied from its own surface during play.
    EXPECT_EQ(At(kStop.left, kStop.top), kObstacleOutline);
    EXPECT_EQ(At(kStop.left + 2, kStop.top + 2), kButton);
    EXPECT_GT(Count(kStop, kCaption), 0);
    EXPECT_EQ(At(kStop.left - 1, kStop.top + 2), kFace);
}

TEST_F(Scene, TheChickIsDrawnUnderTheObstacles) {
    StartGame();
    world_.OneStillObstacle(110, 163);  // (100, 148, 120, 178) over the chick's right half
    Paint();
    gfx::Bitmap mask;
    gfx::Bitmap colour;
    ASSERT_TRUE(sys::LoadBitmap(IDB_BIRD_MASK0, mask));
    ASSERT_TRUE(sys::LoadBitmap(IDB_BIRD0, colour));
    int wrong = 0;
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 20; ++x) {  // the left half, clear of the obstacle
            const gfx::Colour expected = (kSky | mask.GetPixel(x, y)) & colour.GetPixel(x, y);
            wrong += At(80 + x, 143 + y) != expected ? 1 : 0;
        }
    }
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(At(100, 148), kObstacleOutline);
    EXPECT_EQ(Count({101, 149, 119, 177}, kObstacleFill), 18 * 28);
}

TEST_F(Scene, StatusBandAcrossTheFieldsMiddle) {
    StartGame();
    Paint("Go!!");
    // The band (10, 133, 458, 193): 60 px high, 10 px in from the field's sides.
    EXPECT_EQ(At(10, 133), kBandOutline);
    EXPECT_EQ(At(457, 192), kBandOutline);
    EXPECT_EQ(At(11, 134), kBandFill);
    EXPECT_EQ(At(456, 191), kBandFill);
    EXPECT_EQ(At(9, 150), kSky);
    EXPECT_EQ(At(458, 150), kSky);
    EXPECT_EQ(At(300, 132), kSky);
    EXPECT_EQ(At(300, 193), kSky);
    // The text centred on the field lies inside the band.
    EXPECT_GT(Count({10, 133, 458, 193}, kStatusText), 0);
    EXPECT_EQ(Count({0, 193, 468, 326}, kStatusText), 0);
    // The band covers the chick.
    EXPECT_EQ(Count({80, 143, 120, 183}, kBandFill) + Count({80, 143, 120, 183}, kStatusText) +
                  Count({80, 143, 120, 183}, kBandOutline),
              40 * 40);
}

TEST_F(Scene, SurfacesAreMadeAtTheFirstPaintAndReused) {
    EXPECT_EQ(world_.m_bRebuildField, 1);
    EXPECT_EQ(world_.m_bRebuildStop, 1);
    EXPECT_TRUE(world_.m_bmpField.IsNull());
    Paint();
    EXPECT_EQ(world_.m_bRebuildField, 0);
    EXPECT_EQ(world_.m_bRebuildStop, 0);
    // Each surface spans from the client origin to its rectangle's far edges.
    EXPECT_EQ(world_.m_bmpField.Width(), 468);
    EXPECT_EQ(world_.m_bmpField.Height(), 326);
    EXPECT_EQ(world_.m_bmpStop.Width(), 467);
    EXPECT_EQ(world_.m_bmpStop.Height(), 359);
    const gfx::Colour* field = world_.m_bmpField.Data();
    const gfx::Colour* stop = world_.m_bmpStop.Data();
    StartGame();
    Paint("Stage1");
    Paint();
    EXPECT_EQ(world_.m_bmpField.Data(), field);
    EXPECT_EQ(world_.m_bmpStop.Data(), stop);
}

TEST_F(Scene, TheStopButtonHighlightsAndLeavesWithThePlayingFlag) {
    world_.UpdateHover(kStop.left + 1, kStop.top + 1);  // set on the title screen
    Paint();
    EXPECT_EQ(At(kStop.left + 2, kStop.top + 2), kFace);
    StartGame();
    Paint();
    EXPECT_EQ(At(kStop.left, kStop.top), kObstacleOutline);
    EXPECT_EQ(At(kStop.left + 2, kStop.top + 2), kHoverFill);
    world_.ResetPlaying();
    client_.Fill(kFace);  // the erase that follows a Stop click
    Paint();
    EXPECT_EQ(At(kStop.left + 2, kStop.top + 2), kFace);
    EXPECT_EQ(At(5, 100), kBlack);
}

// Every text in its size and the face "ＭＳ ゴシック": the scene's pixels over the text's box
// match the same background with the same text drawn straight through the platform's font.
TEST_F(Scene, EveryTextInItsSizeAndFace) {
    struct Case {
        const char* name;
        bool playing;
        gfx::Rect box;  // compared, and filled with outline and fill first
        gfx::Colour outline, fill;
        gfx::Rect textRect;
        const char* text;
        int size;
        gfx::Colour colour;
    };
    const gfx::Rect band{10, 133, 458, 193};
    const Case cases[] = {
        {"title", false, kTitle, kTitleFill, kTitleFill, kTitle, "Kovalo", 400, kCaption},
        {"Start", false, kStart, kButton, kButton, kStart, "Start", 200, kCaption},
        {"Exit", false, kExit, kButton, kButton, kExit, "Exit", 200, kCaption},
        {"Stop", true, kStop, kObstacleOutline, kButton, kStop, "Stop", 200, kCaption},
        {"status", true, band, kBandOutline, kBandFill, kField, "Go!!", 300, kStatusText},
        {"stage label",
         true,
         {0, 0, 468, 30},
         kSky,
         kSky,
         {0, 0, 468, 30},
         "Stage1 / 5",
         200,
         kCaption},
    };
    for (const Case& c : cases) {
        if (c.playing) {
            StartGame();
        } else {
            world_.ResetPlaying();
        }
        Paint("Go!!");
        gfx::Bitmap expected(kClientWidth, kClientHeight);
        gfx::DeviceContext dc;
        dc.SelectObject(&expected);
        CSerrikDC(&dc, 0).DrawRect(c.box, c.outline, c.fill);
        gfx::Font font(c.size, "ＭＳ ゴシック");
        dc.SelectObject(&font);
        dc.SetTextColor(c.colour);
        dc.SetBkMode(gfx::TRANSPARENT);
        dc.DrawText(c.text, c.textRect, gfx::DT_CENTER | gfx::DT_VCENTER | gfx::DT_SINGLELINE);
        int wrong = 0;
        for (int y = c.box.top; y < c.box.bottom; ++y) {
            for (int x = c.box.left; x < c.box.right; ++x) {
                wrong += At(x, y) != expected.GetPixel(x, y) ? 1 : 0;
            }
        }
        EXPECT_EQ(wrong, 0) << c.name;
    }
}

TEST_F(Scene, TheBandAndTheStageLabelCoverTheObstacles) {
    StartGame();
    world_.OneStillObstacle(234, 15);  // (224, 0, 244, 30): under the label's middle
    world_.m_listObstacle.AddNew()->SetPoint(300, 163);  // (290, 148, 310, 178): inside the band
    Paint("Go!!");
    EXPECT_GT(Count({224, 0, 244, 30}, kCaption), 0);
    EXPECT_EQ(Count({290, 148, 310, 178}, kObstacleFill), 0);
    EXPECT_EQ(Count({290, 148, 310, 178}, kObstacleOutline), 0);
}

}  // namespace
