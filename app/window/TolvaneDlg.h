#pragma once

#include <string>

#include "app/BirdEvent.h"
#include "app/StageThread.h"
#include "platform/window/Dialog.h"

// The main window: a fixed-size dialog whose hidden controls lay out the field, the title box
// and the drawn Start, Exit and Stop buttons. It owns the world and the game thread, turns
// mouse input into calls on them and paints the world's scene. Every handler runs on the
// user-interface thread; the game thread reaches the window only through its status text and
// Invalidate.
class CTolvaneDlg : public ui::Dialog {
public:
    explicit CTolvaneDlg(ui::Dialog* pParent = nullptr);
    ~CTolvaneDlg() override;

    // Where a minimised window's icon goes: (client - icon + 1) / 2, truncated toward zero.
    static gfx::Point IconOrigin(const gfx::Rect& client, int iconW, int iconH);
    // The minimised window's picture: the face colour with icon `iconId` at IconOrigin, drawn
    // with its transparency (mask ANDed, then the image ORed) as the desktop draws an icon.
    static void PaintIconic(gfx::DeviceContext& dc, const gfx::Rect& client, int iconId);

protected:
    bool OnInitDialog() override;
    void OnSysCommand(int nID) override;
    void OnTimer(int nIDEvent) override;
    void OnCommand(int nID) override;
    // Starts a game once the previous run has ended (the drawn Start button and the
    // template's Start command alike).
    void OnButtonStart();
    void OnButtonStop();
    void OnPaint(gfx::DeviceContext& dc) override;
    void OnMouseWheel(int zDelta, int x, int y) override;
    void OnLButtonUp(int x, int y) override;
    void OnMouseMove(int x, int y) override;
    void OnLButtonDown(int x, int y) override;
    // The loop has ended: no run may outlive the window or use the world after it.
    void OnDestroy() override;

    int m_hIcon;
    CBirdEvent m_gameEvent;
    CStageThread m_thread;
    // Set while a Start click waits for the previous run to end.
    int m_bWaitingToStart = 0;
};
