#include "app/window/TolvaneDlg.h"

#include "app/DialogLayout.h"
#include "app/res/resource.h"
#include "app/window/AboutDlg.h"
#include "app/window/Tolvane.h"
#include "platform/graphics/ScopedSelect.h"
#include "platform/system/Resources.h"

namespace {

constexpr int kTimerId = 0;
constexpr int kTimerMs = 200;
// SM_CXICON and SM_CYICON at the logical resolution of 96 dots per inch.
constexpr int kSystemIconSize = 32;

}  // namespace

CTolvaneDlg::CTolvaneDlg(ui::Dialog* pParent)
    : ui::Dialog(IDD_TOLVANE_DIALOG, pParent), m_hIcon(theApp.LoadIcon(IDR_MAINFRAME)) {}

CTolvaneDlg::~CTolvaneDlg() {
    // Also when the window never opened: the world is destroyed after the thread's run.
    m_thread.Shutdown();
}

bool CTolvaneDlg::OnInitDialog() {
    ui::Dialog::OnInitDialog();

    const std::string strAboutMenu = sys::LoadString(IDS_ABOUTBOX);
    if (!strAboutMenu.empty()) {
        AppendSystemMenuItem(IDM_ABOUTBOX, strAboutMenu);
    }

    // One picture serves as the big and the small icon.
    SetIcon(m_hIcon);

    LayOutWorld(m_gameEvent, [this](int id) { return GetControlRect(id); });

    m_gameEvent.SetTitleText("Kovalo");

    m_thread.SetOwner(this);
    m_thread.SetGameEvent(&m_gameEvent);

    SetTimer(kTimerId, kTimerMs);
    return true;
}

void CTolvaneDlg::OnSysCommand(int nID) {
    if ((nID & 0xFFF0) == IDM_ABOUTBOX) {
        CAboutDlg dlgAbout;
        dlgAbout.DoModal();
    } else {
        ui::Dialog::OnSysCommand(nID);
    }
}

void CTolvaneDlg::OnTimer(int nIDEvent) {
    if (nIDEvent == kTimerId) {
        m_thread.UpdateControls();
    }
    ui::Dialog::OnTimer(nIDEvent);
}

void CTolvaneDlg::OnCommand(int nID) {
    // The template's hidden buttons; they are never shown, so these never come from a click.
    // Start is the same routine as the drawn Start button's.
    if (nID == IDC_BUTTON_START) {
        OnButtonStart();
    } else if (nID == IDC_BUTTON_STOP) {
        OnButtonStop();
    } else {
        ui::Dialog::OnCommand(nID);
    }
}

void CTolvaneDlg::OnButtonStart() {
    // A run stopped a moment ago may still be on its way to its checkpoint: one run at a
    // time, so the new one starts once the old one has ended. The wait pumps this window's
    // messages; a Start arriving meanwhile is the same request. A way out taken meanwhile
    // (Exit, the close box, Escape, Alt+F4) wins: the dialog is ending, and no game starts.
    if (m_bWaitingToStart != 0) {
        return;
    }
    m_bWaitingToStart = 1;
    m_thread.WaitForIdle();
    m_bWaitingToStart = 0;
    if (!IsEnding()) {
        m_gameEvent.SetPlaying();
        Invalidate(true);
        m_thread.Start();
    }
}

void CTolvaneDlg::OnButtonStop() {
    m_thread.Stop();
}

gfx::Point CTolvaneDlg::IconOrigin(const gfx::Rect& client, int iconW, int iconH) {
    return {(client.Width() - iconW + 1) / 2, (client.Height() - iconH + 1) / 2};
}

void CTolvaneDlg::PaintIconic(gfx::DeviceContext& dc, const gfx::Rect& client, int iconId) {
    gfx::Brush face(ui::kDialogFace);
    gfx::Pen pen(1, ui::kDialogFace);
    {
        const gfx::ScopedSelect<gfx::Brush> withFace(dc, &face);
        const gfx::ScopedSelect<gfx::Pen> withPen(dc, &pen);
        dc.Rectangle(client);
    }
    gfx::Bitmap image;
    gfx::Bitmap mask;
    if (!sys::LoadIcon(iconId, image, mask)) {
        return;
    }
    const gfx::Point at = IconOrigin(client, kSystemIconSize, kSystemIconSize);
    gfx::DeviceContext src;
    src.SelectObject(&mask);
    dc.BitBlt(at.x, at.y, mask.Width(), mask.Height(), &src, 0, 0, gfx::SRCAND);
    src.SelectObject(&image);
    dc.BitBlt(at.x, at.y, image.Width(), image.Height(), &src, 0, 0, gfx::SRCPAINT);
}

void CTolvaneDlg::OnPaint(gfx::DeviceContext& dc) {
    if (IsIconic()) {
        PaintIconic(dc, GetClientRect(), m_hIcon);
        return;
    }
    const std::string text = m_thread.GetText();
    m_gameEvent.Paint(&dc, text);
    ui::Dialog::OnPaint(dc);
}

void CTolvaneDlg::OnMouseWheel(int zDelta, int x, int y) {
    Invalidate(false);
    ui::Dialog::OnMouseWheel(zDelta, x, y);
}

void CTolvaneDlg::OnLButtonUp(int x, int y) {
    if (m_gameEvent.IsTitle()) {
        if (m_gameEvent.HitStart(x, y)) {
            OnButtonStart();
        } else if (m_gameEvent.HitExit(x, y)) {
            OnOK();
        }
    } else {
        if (m_gameEvent.HitStop(x, y)) {
            m_gameEvent.ResetPlaying();
            m_thread.Stop();
            Invalidate(true);
        } else {
            m_gameEvent.Release(x, y);
            Invalidate(false);
        }
    }
    ui::Dialog::OnLButtonUp(x, y);
}

void CTolvaneDlg::OnMouseMove(int x, int y) {
    m_gameEvent.UpdateHover(x, y);
    Invalidate(false);
    ui::Dialog::OnMouseMove(x, y);
}

void CTolvaneDlg::OnLButtonDown(int x, int y) {
    if (m_gameEvent.IsPlaying()) {
        m_gameEvent.Press(x, y);
        Invalidate(false);
    }
    ui::Dialog::OnLButtonDown(x, y);
}

void CTolvaneDlg::OnDestroy() {
    m_thread.Shutdown();
    ui::Dialog::OnDestroy();
}
