#include "GameClass/GameObject.h"

#include <climits>
#include <cmath>
#include <cstdint>

namespace {

// floor(sqrt(dx^2 + dy^2)) for any pair of int coordinates, saturated at INT_MAX. The squares
// of 33-bit differences fit an unsigned 64-bit word; only their sum can exceed it, and then
// the distance is far beyond INT_MAX anyway.
int IntegerDistance(std::int64_t dx, std::int64_t dy) {
    const std::uint64_t sx = static_cast<std::uint64_t>(dx * (dx < 0 ? -1 : 1));
    const std::uint64_t sy = static_cast<std::uint64_t>(dy * (dy < 0 ? -1 : 1));
    const std::uint64_t qx = sx * sx;
    const std::uint64_t qy = sy * sy;
    if (qx > UINT64_MAX - qy) {
        return INT_MAX;
    }
    const std::uint64_t sum = qx + qy;
    const double root = std::sqrt(static_cast<double>(sum));
    if (root >= static_cast<double>(INT_MAX)) {
        return INT_MAX;
    }
    // The double square root may be one off once the sum exceeds 2^53; settle it exactly.
    std::uint64_t r = static_cast<std::uint64_t>(root);
    while (r > 0 && r * r > sum) {
        --r;
    }
    while ((r + 1) * (r + 1) <= sum) {
        ++r;
    }
    return r > static_cast<std::uint64_t>(INT_MAX) ? INT_MAX : static_cast<int>(r);
}

}  // namespace

int CGameObject::ToPixel(double v) {
    if (std::isnan(v)) {
        return 0;
    }
    if (v >= 2147483647.0) {
        return INT_MAX;
    }
    if (v <= -2147483648.0) {
        return INT_MIN;
    }
    return static_cast<int>(v);
}

gfx::Rect CGameObject::RectAround(gfx::Point centre) const {
    const int hw = m_nWidth / 2;
    const int hh = m_nHeight / 2;
    return {centre.x - hw, centre.y - hh, centre.x + hw, centre.y + hh};
}

gfx::Rect CGameObject::OffsetRect() const {
    return RectAround(m_ptPos).Offset(m_ptOffset.x, m_ptOffset.y);
}

int CGameObject::DistanceTo(int x, int y) const {
    return IntegerDistance(static_cast<std::int64_t>(x) - m_ptPos.x,
                           static_cast<std::int64_t>(y) - m_ptPos.y);
}

gfx::Point CGameObject::MovePoint() const {
    const double t = m_nTime;
    return {ToPixel(m_ptPos.x + t * m_dVx + 0.5 * m_dAx * t * t),
            ToPixel(m_ptPos.y + t * m_dVy + 0.5 * m_dAy * t * t)};
}

gfx::Rect CGameObject::GetRect() const {
    StateGuard guard(this);
    return OffsetRect();
}

gfx::Point CGameObject::GetPoint() const {
    StateGuard guard(this);
    return {m_ptPos.x + m_ptOffset.x, m_ptPos.y + m_ptOffset.y};
}

void CGameObject::SetPoint(int x, int y) {
    StateGuard guard(this);
    m_ptPos = {x, y};
}

void CGameObject::SetPos(int x, int y) {
    StateGuard guard(this);
    m_ptPos.x = x;
    m_ptPos.y = y;
}

void CGameObject::SetX(int x) {
    StateGuard guard(this);
    m_ptPos.x = x;
}

void CGameObject::SetY(int y) {
    StateGuard guard(this);
    m_ptPos.y = y;
}

void CGameObject::Offset(int dx, int dy) {
    StateGuard guard(this);
    m_ptPos.x += dx;
    m_ptPos.y += dy;
}

void CGameObject::MoveLeft() {
    StateGuard guard(this);
    m_ptPos.x += ToPixel(-m_dStepX);
}

void CGameObject::MoveRight() {
    StateGuard guard(this);
    m_ptPos.x += ToPixel(m_dStepX);
}

void CGameObject::MoveUp() {
    StateGuard guard(this);
    m_ptPos.y += ToPixel(-m_dStepY);
}

void CGameObject::MoveDown() {
    StateGuard guard(this);
    m_ptPos.y += ToPixel(m_dStepY);
}

void CGameObject::Move() {
    StateGuard guard(this);
    m_ptPos.x += ToPixel(m_dStepX);
    m_ptPos.y += ToPixel(m_dStepY);
}

int CGameObject::GetWidth() const {
    StateGuard guard(this);
    return m_nWidth;
}

void CGameObject::SetWidth(int width) {
    StateGuard guard(this);
    m_nWidth = width;
}

int CGameObject::GetHeight() const {
    StateGuard guard(this);
    return m_nHeight;
}

void CGameObject::SetHeight(int height) {
    StateGuard guard(this);
    m_nHeight = height;
}

void CGameObject::SetSize(int width, int height) {
    StateGuard guard(this);
    m_nWidth = width;
    m_nHeight = height;
}

int CGameObject::GetDistance(const CGameObject* other) const {
    // The other object is read under its own lock first, then this one under its lock.
    const gfx::Point p = other->GetPoint();
    return GetDistance(p.x, p.y);
}

int CGameObject::GetDistance(int x, int y) const {
    StateGuard guard(this);
    return DistanceTo(x, y);
}

bool CGameObject::HitTest(gfx::Point pt) const {
    return GetRect().Contains(pt);
}

bool CGameObject::Intersects(const CGameObject* other) const {
    const gfx::Rect theirs = other->GetRect();
    return !GetRect().Intersect(theirs).IsEmpty();
}

void CGameObject::MoveToTarget(int step) {
    StateGuard guard(this);
    const int d = DistanceTo(m_ptTarget.x, m_ptTarget.y);
    const double r = d == 0 ? 1.0 : static_cast<double>(step) / d;
    const double dx = (static_cast<double>(m_ptTarget.x) - m_ptPos.x) * r;
    const double dy = (static_cast<double>(m_ptTarget.y) - m_ptPos.y) * r;
    m_ptPos.x = ToPixel(m_ptPos.x + static_cast<double>(ToPixel(dx)));
    m_ptPos.y = ToPixel(m_ptPos.y + static_cast<double>(ToPixel(dy)));
    if (DistanceTo(m_ptTarget.x, m_ptTarget.y) < step) {
        m_ptPos = m_ptTarget;
        m_bMoving = 0;
    }
}

gfx::Point CGameObject::GetMovePoint() const {
    StateGuard guard(this);
    return MovePoint();
}

gfx::Rect CGameObject::GetMoveRect() const {
    StateGuard guard(this);
    return RectAround(MovePoint()).Offset(m_ptOffset.x, m_ptOffset.y);
}

void CGameObject::ReverseVx() {
    StateGuard guard(this);
    m_dVx = -m_dVx;
}

void CGameObject::ReverseVy() {
    StateGuard guard(this);
    m_dVy = -m_dVy;
}

double CGameObject::GetVelocityX() const {
    StateGuard guard(this);
    return m_dVx + m_dAx * m_nTime;
}

void CGameObject::SetAccelX(double ax) {
    StateGuard guard(this);
    m_dAx = ax;
}

void CGameObject::SetAccelY(double ay) {
    StateGuard guard(this);
    m_dAy = ay;
}

double CGameObject::GetAccelY() const {
    StateGuard guard(this);
    return m_dAy;
}

void CGameObject::SetStepX(double step) {
    StateGuard guard(this);
    m_dStepX = step;
}

void CGameObject::SetStepY(double step) {
    StateGuard guard(this);
    m_dStepY = step;
}

double CGameObject::GetStepX() const {
    StateGuard guard(this);
    return m_dStepX;
}

double CGameObject::GetStepY() const {
    StateGuard guard(this);
    return m_dStepY;
}

void CGameObject::SetTime(int t) {
    StateGuard guard(this);
    m_nTime = t;
}

int CGameObject::GetTime() const {
    StateGuard guard(this);
    return m_nTime;
}

void CGameObject::SetVelocity(double vx, double vy) {
    StateGuard guard(this);
    m_dVx = vx;
    m_dVy = vy;
}

void CGameObject::SetTarget(int x, int y) {
    StateGuard guard(this);
    m_ptTarget = {x, y};
}

gfx::Point CGameObject::GetTarget() const {
    StateGuard guard(this);
    return m_ptTarget;
}

void CGameObject::SetMoving(bool moving) {
    StateGuard guard(this);
    m_bMoving = moving ? 1 : 0;
}

bool CGameObject::IsMoving() const {
    StateGuard guard(this);
    return m_bMoving != 0;
}

void CGameObject::SetOffset(int dx, int dy) {
    StateGuard guard(this);
    m_ptOffset = {dx, dy};
}
