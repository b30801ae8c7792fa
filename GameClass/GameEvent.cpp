#include "GameClass/GameEvent.h"

#include "GClass/SerrikDC.h"

namespace {

constexpr gfx::Colour kTitleBox = gfx::Rgb(255, 240, 240);
constexpr gfx::Colour kCaption = gfx::Rgb(12, 0, 204);
constexpr gfx::Colour kButton = gfx::Rgb(250, 250, 250);
constexpr gfx::Colour kHoverOutline = gfx::Rgb(140, 140, 140);
constexpr gfx::Colour kHoverFill = gfx::Rgb(239, 117, 152);
constexpr gfx::Colour kStopOutline = gfx::Rgb(38, 38, 38);
constexpr gfx::Colour kBandOutline = gfx::Rgb(140, 140, 140);
constexpr gfx::Colour kBandFill = gfx::Rgb(183, 196, 224);
constexpr int kTitleSize = 400;
constexpr int kStageSize = 200;
// The stage strip ends at this y whatever the field's height.
constexpr int kStageStripBottom = 30;

// Makes `dc` a memory surface of width x height with `bmp` selected into it.
void MakeSurface(const gfx::DeviceContext* target, gfx::DeviceContext& dc, gfx::Bitmap& bmp,
                 int width, int height) {
    bmp.DeleteObject();
    bmp.CreateCompatibleBitmap(target, width, height);
    dc.DeleteDC();
    dc.CreateCompatibleDC(target);
    dc.SelectObject(&bmp);
}

// Copies `rc` from the surface to the same place on the target.
void CopyOut(gfx::DeviceContext* target, const gfx::DeviceContext& surface, const gfx::Rect& rc) {
    target->BitBlt(rc.left, rc.top, rc.Width(), rc.Height(), &surface, rc.left, rc.top,
                   gfx::SRCCOPY);
}

}  // namespace

void CGameEvent::SetFieldRect(int left, int top, int right, int bottom) {
    m_rcField = {left, top, right, bottom};
}

void CGameEvent::SetTitleRect(int left, int top, int right, int bottom) {
    m_rcTitle = {left, top, right, bottom};
}

void CGameEvent::SetStartRect(int left, int top, int right, int bottom) {
    m_rcStart = {left, top, right, bottom};
}

void CGameEvent::SetStopRect(int left, int top, int right, int bottom) {
    m_rcStop = {left, top, right, bottom};
}

void CGameEvent::SetExitRect(int left, int top, int right, int bottom) {
    m_rcExit = {left, top, right, bottom};
}

void CGameEvent::SetTitleText(const std::string& text) {
    m_strTitle = text;
}

void CGameEvent::SetStageText(const std::string& text) {
    sys::ScopedLock lock(m_csStage);
    m_strStage = text;
}

std::string CGameEvent::GetStageText() const {
    sys::ScopedLock lock(m_csStage);
    return m_strStage;
}

void CGameEvent::UpdateHover(int x, int y) {
    m_bOnStart = HitStart(x, y) ? 1 : 0;
    m_bOnStop = HitStop(x, y) ? 1 : 0;
    m_bOnExit = HitExit(x, y) ? 1 : 0;
}

void CGameEvent::Paint(gfx::DeviceContext* target, const std::string& status) {
    // Surfaces span from the client origin, so drawing uses client coordinates unchanged.
    if (m_bRebuildField != 0) {
        MakeSurface(target, m_dcField, m_bmpField, m_rcField.right, m_rcField.bottom);
        m_bRebuildField = 0;
    }
    if (m_bRebuildStop != 0) {
        MakeSurface(target, m_dcStop, m_bmpStop, m_rcStop.right, m_rcStop.bottom);
        m_bRebuildStop = 0;
    }
    Draw(&m_dcField, status);
    CopyOut(target, m_dcField, m_rcField);
    if (IsPlaying()) {
        DrawStopButton(&m_dcStop, 200);
        CopyOut(target, m_dcStop, m_rcStop);
    }
}

void CGameEvent::DrawBackground(gfx::DeviceContext* dc, gfx::Colour colour) {
    CSerrikDC sdc(dc, 0);
    sdc.DrawRect(m_rcField, colour, colour);
}

void CGameEvent::DrawTitle(gfx::DeviceContext* dc) {
    CSerrikDC sdc(dc, 0);
    sdc.DrawRect(m_rcTitle, kTitleBox, kTitleBox);
    sdc.DrawTextInRect(m_rcTitle, m_strTitle, kTitleSize, kCaption);
}

void CGameEvent::DrawMenuButtons(gfx::DeviceContext* dc, int size) {
    CSerrikDC sdc(dc, 0);
    const auto button = [&](const gfx::Rect& rc, int hover, const char* caption) {
        if (hover != 0) {
            sdc.DrawRect(rc, kHoverOutline, kHoverFill);
        } else {
            sdc.DrawRect(rc, kButton, kButton);
        }
        sdc.DrawTextInRect(rc, caption, size, kCaption);
    };
    button(m_rcStart, m_bOnStart, "Start");
    button(m_rcExit, m_bOnExit, "Exit");
}

void CGameEvent::DrawStopButton(gfx::DeviceContext* dc, int size) {
    CSerrikDC sdc(dc, 0);
    sdc.DrawRect(m_rcStop, kStopOutline, m_bOnStop != 0 ? kHoverFill : kButton);
    sdc.DrawTextInRect(m_rcStop, "Stop", size, kCaption);
}

void CGameEvent::DrawMessage(gfx::DeviceContext* dc, const std::string& text, int size,
                             gfx::Colour colour) {
    CSerrikDC sdc(dc, 0);
    const int cy = m_rcField.Centre().y;
    if (!text.empty()) {
        const gfx::Rect band{m_rcField.left + 10, cy - 30, m_rcField.right - 10, cy + 30};
        sdc.DrawRect(band, kBandOutline, kBandFill);
    }
    sdc.DrawTextInRect(m_rcField, text, size, colour);
}

void CGameEvent::DrawStageText(gfx::DeviceContext* dc) {
    CSerrikDC sdc(dc, 0);
    const gfx::Rect strip{m_rcField.left, m_rcField.top, m_rcField.right, kStageStripBottom};
    sdc.DrawTextInRect(strip, GetStageText(), kStageSize, kCaption);
}
