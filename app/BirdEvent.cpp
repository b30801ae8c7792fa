#include "app/BirdEvent.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "GClass/SerrikDC.h"
#include "platform/system/Clock.h"

namespace {

using ObstacleWalk = CSerrikList<CObstacle>::CWalkLock;

constexpr int kBirdX = 100;
// Obstacles start at least this far right of the field's left edge.
constexpr int kSpawnMargin = 200;

constexpr gfx::Colour kBlack = gfx::Rgb(0, 0, 0);
constexpr gfx::Colour kSky = gfx::Rgb(137, 189, 222);
constexpr gfx::Colour kObstacleOutline = gfx::Rgb(38, 38, 38);
constexpr gfx::Colour kObstacleFill = gfx::Rgb(140, 140, 140);
constexpr gfx::Colour kStatusText = gfx::Rgb(229, 209, 0);
constexpr int kStatusSize = 300;
constexpr int kButtonSize = 200;

int ClampToInt(std::int64_t v) {
    return static_cast<int>(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX));
}

// A draw modulo a span that may be too small to divide by: a span of 1 or less has one
// position only. The draw is made either way, so the sequence never depends on the field's
// size.
std::int64_t Spread(sys::Random& random, std::int64_t span) {
    const std::int64_t r = random.Next();
    return span > 1 ? r % span : 0;
}

}  // namespace

CBirdEvent::CBirdEvent() {
    m_listObstacle.DeleteAll();
}

CBirdEvent::~CBirdEvent() {
    m_listObstacle.DeleteAll();
}

void CBirdEvent::RestBird() {
    m_bird.Rest();
}

void CBirdEvent::PlaceBird() {
    m_bird.SetPoint(kBirdX, m_rcField.Centre().y);
}

void CBirdEvent::CreateObstacles(int count) {
    // Positions are drawn first, x then y for each obstacle in turn, so the list's lock is
    // held only for the exchange: a paint sees the old stage or the new one, never a mixture.
    m_random.Seed(static_cast<std::uint32_t>(sys::Time()));
    const std::int64_t width = static_cast<std::int64_t>(m_rcField.right) - m_rcField.left;
    const std::int64_t height = static_cast<std::int64_t>(m_rcField.bottom) - m_rcField.top;
    // A field 100 px wide or less, or without height, leaves a single position on that axis
    // (x = left + 200, y = top) instead of a division by zero or by a negative number.
    const std::int64_t spanX = 2 * width - kSpawnMargin;
    std::vector<gfx::Point> points;
    points.reserve(static_cast<std::size_t>(std::max(count, 0)));
    for (int i = 0; i < count; ++i) {
        const std::int64_t x = Spread(m_random, spanX) + m_rcField.left + kSpawnMargin;
        const std::int64_t y = Spread(m_random, height) + m_rcField.top;
        points.push_back({ClampToInt(x), ClampToInt(y)});
    }

    ObstacleWalk walk(m_listObstacle);
    m_listObstacle.DeleteAll();
    for (int i = 0; i < count; ++i) {
        CObstacle* obstacle = m_listObstacle.AddNew();
        if (obstacle == nullptr) {
            continue;  // its index is used up all the same
        }
        obstacle->SetPoint(points[static_cast<std::size_t>(i)].x,
                           points[static_cast<std::size_t>(i)].y);
        obstacle->SetStepX(-8.0);
        obstacle->SetStepY(0.0);
        if (i % 5 == 0) {
            obstacle->SetStepY(-2.0);
        }
        if (i % 9 == 0) {
            obstacle->SetStepX(-16.0);
        }
    }
}

void CBirdEvent::Tick() {
    {
        ObstacleWalk walk(m_listObstacle);
        for (int i = 0; i < m_listObstacle.GetCount(); ++i) {
            CObstacle* obstacle = m_listObstacle.GetAt(i);
            if (obstacle == nullptr) {
                continue;
            }
            obstacle->Advance();
            const gfx::Point pt = obstacle->GetPoint();
            // The top test is against the client origin, which is the field's top here.
            if (pt.y < 0 || pt.y > m_rcField.bottom) {
                obstacle->SetStepY(-obstacle->GetStepY());
            }
        }
    }
    // The chick takes its own lock, so the list's lock is released first.
    m_bird.Fall();
}

bool CBirdEvent::IsHit() {
    const gfx::Point bird = m_bird.GetPoint();
    ObstacleWalk walk(m_listObstacle);
    for (int i = 0; i < m_listObstacle.GetCount(); ++i) {
        const CObstacle* obstacle = m_listObstacle.GetAt(i);
        if (obstacle != nullptr && obstacle->GetRect().Contains(bird)) {
            return true;
        }
    }
    return false;
}

bool CBirdEvent::IsOut() {
    return !m_rcField.Contains(m_bird.GetPoint());
}

int CBirdEvent::CountInField() {
    int count = 0;
    ObstacleWalk walk(m_listObstacle);
    for (int i = 0; i < m_listObstacle.GetCount(); ++i) {
        const CObstacle* obstacle = m_listObstacle.GetAt(i);
        if (obstacle != nullptr && m_rcField.Contains(obstacle->GetPoint())) {
            ++count;
        }
    }
    return count;
}

int CBirdEvent::GetObstacleCount() const {
    return m_listObstacle.GetCount();
}

gfx::Rect CBirdEvent::GetObstacleRect(int index) {
    ObstacleWalk walk(m_listObstacle);
    const CObstacle* obstacle = m_listObstacle.GetAt(index);
    return obstacle != nullptr ? obstacle->GetRect() : gfx::Rect{};
}

void CBirdEvent::SetBirdFrame(int frame) {
    m_bird.SetFrame(frame);
}

void CBirdEvent::Press(int /*x*/, int /*y*/) {
    m_bird.SetFrame(1);
    m_bird.MoveUp();
}

void CBirdEvent::Release(int /*x*/, int /*y*/) {
    m_bird.SetFrame(0);
}

void CBirdEvent::Draw(gfx::DeviceContext* dc, const std::string& status) {
    if (IsTitle()) {
        DrawBackground(dc, kBlack);
        DrawTitle(dc);
        DrawMenuButtons(dc, kButtonSize);
        return;
    }
    DrawBackground(dc, kSky);
    DrawBird(dc);
    DrawObstacles(dc);
    DrawMessage(dc, status, kStatusSize, kStatusText);
    // In the game's layout the Stop button lies below the field, outside this surface, so
    // this draws nothing there: the button on the screen is the one Paint draws on its own
    // surface. A layout that put the button inside the field would show it in the scene too.
    DrawStopButton(dc, kButtonSize);
    DrawStageText(dc);
}

void CBirdEvent::DrawBird(gfx::DeviceContext* dc) {
    m_bird.Draw(dc);
}

void CBirdEvent::DrawObstacles(gfx::DeviceContext* dc) {
    CSerrikDC sdc(dc, 0);
    // Walked as Tick walks, under the list's lock throughout: a missing obstacle draws
    // nothing, as its empty rectangle would.
    ObstacleWalk walk(m_listObstacle);
    for (int i = 0; i < m_listObstacle.GetCount(); ++i) {
        if (const CObstacle* obstacle = m_listObstacle.GetAt(i)) {
            sdc.DrawRect(obstacle->GetRect(), kObstacleOutline, kObstacleFill);
        }
    }
}
