#include "app/Bird.h"

#include <algorithm>

#include "app/res/resource.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/ScopedSelect.h"
#include "platform/system/Resources.h"

namespace {

constexpr double kFlap = 5.0;

}  // namespace

CBird::CBird() {
    Init();
}

void CBird::Init() {
    std::lock_guard lock(m_lock);
    m_dStepY = 5.0;
    m_dStepX = 0.0;
    m_dAx = 0.0;
    m_dAy = 2.0;
    m_nTime = 0;
    m_nWidth = 40;
    m_nHeight = 40;
    m_nFrame = 0;
}

void CBird::Rest() {
    std::lock_guard lock(m_lock);
    m_dVx = 0.0;
    m_dVy = 0.0;
    m_nTime = 0;
    m_nFrame = 0;
}

void CBird::Fall() {
    std::lock_guard lock(m_lock);
    ++m_nTime;
    m_dVy += m_dAy;
    const double y = std::clamp(m_ptPos.y + m_dVy, static_cast<double>(-kPositionLimit),
                                static_cast<double>(kPositionLimit));
    m_ptPos.y = ToPixel(y);
}

void CBird::MoveUp() {
    std::lock_guard lock(m_lock);
    m_dVy -= kFlap;
}

int CBird::GetFrame() const {
    std::lock_guard lock(m_lock);
    return m_nFrame;
}

double CBird::GetVelocityY() const {
    std::lock_guard lock(m_lock);
    return m_dVy;
}

void CBird::Draw(gfx::DeviceContext* target) const {
    gfx::Rect r;
    int frame = 0;
    {
        std::lock_guard lock(m_lock);
        r = OffsetRect();
        frame = m_nFrame;
    }
    gfx::Bitmap colour;
    gfx::Bitmap mask;
    if (!sys::LoadBitmap(frame != 0 ? IDB_BIRD1 : IDB_BIRD0, colour) ||
        !sys::LoadBitmap(frame != 0 ? IDB_BIRD_MASK1 : IDB_BIRD_MASK0, mask)) {
        return;
    }
    gfx::DeviceContext dcColour;
    gfx::DeviceContext dcMask;
    dcColour.CreateCompatibleDC(target);
    dcMask.CreateCompatibleDC(target);
    const gfx::ScopedSelect<gfx::Bitmap> withColour(dcColour, &colour);
    const gfx::ScopedSelect<gfx::Bitmap> withMask(dcMask, &mask);
    target->BitBlt(r.left, r.top, r.Width(), r.Height(), &dcMask, 0, 0, gfx::SRCPAINT);
    target->BitBlt(r.left, r.top, r.Width(), r.Height(), &dcColour, 0, 0, gfx::SRCAND);
}

CObstacle::CObstacle() {
    Init();
}

void CObstacle::Init() {
    SetSize(20, 30);
}

void CObstacle::Advance() {
    Move();
}
