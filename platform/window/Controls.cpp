#include "platform/window/Controls.h"

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/ScopedSelect.h"

namespace ui {

namespace {

struct ButtonLook {
    gfx::Colour face;
    gfx::Colour border;
    gfx::Colour text;
};

constexpr ButtonLook kButtonNormal{gfx::Rgb(225, 225, 225), gfx::Rgb(173, 173, 173), 0};
constexpr ButtonLook kButtonHot{gfx::Rgb(229, 241, 251), gfx::Rgb(0, 120, 215), 0};
constexpr ButtonLook kButtonPressed{gfx::Rgb(204, 228, 247), gfx::Rgb(0, 84, 153), 0};
constexpr ButtonLook kButtonDisabled{gfx::Rgb(204, 204, 204), gfx::Rgb(191, 191, 191),
                                     gfx::Rgb(131, 131, 131)};
constexpr gfx::Colour kDefaultBorder = gfx::Rgb(0, 120, 215);
constexpr gfx::Colour kFrameEdgeColour = gfx::Rgb(112, 112, 112);
constexpr gfx::Colour kCaptionBarColour = gfx::Rgb(255, 255, 255);
// The caption's face: the Japanese proportional gothic that Windows captions use for
// Japanese text, at the caption font's 9 points.
constexpr const char* kCaptionFace = "ＭＳ Ｐゴシック";
constexpr int kCaptionTenths = 90;
constexpr int kCaptionIndent = 8;

void Outline(gfx::DeviceContext& dc, const gfx::Rect& r, gfx::Colour colour) {
    gfx::Pen pen(1, colour);
    const gfx::ScopedSelect<gfx::Pen> withPen(dc, &pen);
    dc.MoveTo(r.left, r.top);
    dc.LineTo(r.right - 1, r.top);
    dc.LineTo(r.right - 1, r.bottom - 1);
    dc.LineTo(r.left, r.bottom - 1);
    dc.LineTo(r.left, r.top);
}

void PaintIcon(gfx::DeviceContext& dc, const Control& c) {
    // An icon control takes the size of its icon.
    DrawIcon(dc, {c.rect.left, c.rect.top}, c.icon);
}

void PaintButton(gfx::DeviceContext& dc, const Control& c, ButtonState state) {
    const bool isDefault = c.kind == sys::ControlKind::DefaultButton;
    ButtonLook look = kButtonNormal;
    if (!c.enabled) {
        look = kButtonDisabled;
    } else if (state.pressed && state.hot) {
        look = kButtonPressed;
    } else if (state.hot || state.pressed) {
        look = kButtonHot;
    } else if (isDefault) {
        look.border = kDefaultBorder;
    }
    gfx::Pen pen(1, look.border);
    gfx::Brush brush(look.face);
    {
        const gfx::ScopedSelect<gfx::Pen> withPen(dc, &pen);
        const gfx::ScopedSelect<gfx::Brush> withBrush(dc, &brush);
        dc.Rectangle(c.rect);
    }
    if (isDefault && c.enabled) {
        // The default button's double edge.
        Outline(dc, {c.rect.left + 1, c.rect.top + 1, c.rect.right - 1, c.rect.bottom - 1},
                look.border);
    }
    const int oldMode = dc.SetBkMode(gfx::TRANSPARENT);
    const gfx::Colour oldColour = dc.SetTextColor(look.text);
    dc.DrawText(c.text, c.rect, gfx::DT_CENTER | gfx::DT_VCENTER | gfx::DT_SINGLELINE);
    dc.SetTextColor(oldColour);
    dc.SetBkMode(oldMode);
}

void PaintStatic(gfx::DeviceContext& dc, const Control& c) {
    // Static text paints its own background, so drawing it again changes nothing.
    const int oldMode = dc.SetBkMode(gfx::OPAQUE);
    const gfx::Colour oldBk = dc.SetBkColor(kDialogFace);
    const gfx::Colour oldColour = dc.SetTextColor(c.enabled ? 0x000000 : kButtonDisabled.text);
    dc.DrawText(c.text, c.rect, gfx::DT_SINGLELINE);
    dc.SetTextColor(oldColour);
    dc.SetBkColor(oldBk);
    dc.SetBkMode(oldMode);
}

}  // namespace

void DrawIcon(gfx::DeviceContext& dc, gfx::Point at, int iconId) {
    gfx::Bitmap image;
    gfx::Bitmap mask;
    if (!sys::LoadIcon(iconId, image, mask)) {
        return;
    }
    // The mask keeps what lies under the transparent pixels and clears the rest; the image,
    // black where it is transparent, fills the cleared pixels in.
    gfx::DeviceContext src;
    src.SelectObject(&mask);
    dc.BitBlt(at.x, at.y, mask.Width(), mask.Height(), &src, 0, 0, gfx::SRCAND);
    src.SelectObject(&image);
    dc.BitBlt(at.x, at.y, image.Width(), image.Height(), &src, 0, 0, gfx::SRCPAINT);
}

gfx::Point FramedSize(gfx::Point clientSize) {
    return {clientSize.x + 2 * kFrameEdge, clientSize.y + kFrameEdge + kCaptionBar + kFrameEdge};
}

gfx::Point FramedClientOrigin() {
    return {kFrameEdge, kFrameEdge + kCaptionBar};
}

void DrawFrame(gfx::DeviceContext& dc, gfx::Point size, const std::string& caption) {
    Outline(dc, {0, 0, size.x, size.y}, kFrameEdgeColour);
    const gfx::Rect bar{kFrameEdge, kFrameEdge, size.x - kFrameEdge, kFrameEdge + kCaptionBar};
    gfx::Brush brush(kCaptionBarColour);
    gfx::Pen pen(1, kCaptionBarColour);
    {
        const gfx::ScopedSelect<gfx::Pen> withPen(dc, &pen);
        const gfx::ScopedSelect<gfx::Brush> withBrush(dc, &brush);
        dc.Rectangle(bar);
    }
    gfx::Font face(kCaptionTenths, kCaptionFace);
    const gfx::ScopedSelect<gfx::Font> withFont(dc, &face);
    const int oldMode = dc.SetBkMode(gfx::TRANSPARENT);
    const gfx::Colour oldColour = dc.SetTextColor(0x000000);
    dc.DrawText(caption, {bar.left + kCaptionIndent, bar.top, bar.right, bar.bottom},
                gfx::DT_LEFT | gfx::DT_VCENTER | gfx::DT_SINGLELINE);
    dc.SetTextColor(oldColour);
    dc.SetBkMode(oldMode);
}

void PaintControl(gfx::DeviceContext& dc, const Control& control, ButtonState state,
                  const DialogFont& font) {
    if (control.kind == sys::ControlKind::Icon) {
        PaintIcon(dc, control);
        return;
    }
    gfx::Font face(font.tenths, font.face);
    const gfx::ScopedSelect<gfx::Font> withFont(dc, &face);
    if (control.IsButton()) {
        PaintButton(dc, control, state);
    } else {
        PaintStatic(dc, control);
    }
}

}  // namespace ui
