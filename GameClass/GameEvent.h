#pragma once

#include <atomic>
#include <string>

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/DeviceContext.h"
#include "platform/graphics/Types.h"
#include "platform/system/CriticalSection.h"

// The abstract game world: the screen layout (the field and the drawn buttons), the playing
// flag that tells the title screen from a game in progress, the title and stage texts, and
// the two off-screen surfaces the scene is composed in. A concrete world supplies Draw.
//
// Threads: the layout and the title are set once on the user-interface thread before any run
// starts. The playing flag is an atomic written by both threads; the stage label is exchanged
// under its own lock and drawn from a copy. Surfaces and hover flags belong to the
// user-interface thread alone.
class CGameEvent {
public:
    CGameEvent() = default;
    virtual ~CGameEvent() = default;
    CGameEvent(const CGameEvent&) = delete;
    CGameEvent& operator=(const CGameEvent&) = delete;

    // Draws the whole picture of the field into `dc` (a surface spanning from the client
    // origin), with the worker's status text.
    virtual void Draw(gfx::DeviceContext* dc, const std::string& status) = 0;
    virtual void SetFieldRect(int left, int top, int right, int bottom);

    void SetTitleRect(int left, int top, int right, int bottom);
    void SetStartRect(int left, int top, int right, int bottom);
    void SetStopRect(int left, int top, int right, int bottom);
    void SetExitRect(int left, int top, int right, int bottom);
    void SetTitleText(const std::string& text);
    void SetStageText(const std::string& text);
    // A copy of the stage label, taken under its lock.
    std::string GetStageText() const;

    bool IsPlaying() const { return m_bPlaying.load() == 1; }
    bool IsTitle() const { return m_bPlaying.load() == 0; }
    void SetPlaying() { m_bPlaying.store(1); }
    void ResetPlaying() { m_bPlaying.store(0); }

    // Whether the point lies on the drawn button (left and top edges in, right and bottom out).
    bool HitStart(int x, int y) const { return m_rcStart.Contains(x, y); }
    bool HitStop(int x, int y) const { return m_rcStop.Contains(x, y); }
    bool HitExit(int x, int y) const { return m_rcExit.Contains(x, y); }
    // Remembers which drawn button lies under the cursor; the next paint highlights it.
    void UpdateHover(int x, int y);

    // Makes the surfaces at the first paint, composes the scene in the field surface and
    // copies the field, and during play the Stop button, to `target`.
    void Paint(gfx::DeviceContext* target, const std::string& status);

    void DrawBackground(gfx::DeviceContext* dc, gfx::Colour colour);
    void DrawTitle(gfx::DeviceContext* dc);
    void DrawMenuButtons(gfx::DeviceContext* dc, int size);
    void DrawStopButton(gfx::DeviceContext* dc, int size);
    // The status band across the field's middle (only for a non-empty text) and the text
    // centred on the field.
    void DrawMessage(gfx::DeviceContext* dc, const std::string& text, int size, gfx::Colour colour);
    // The stage label in the strip from the field's top to y = 30.
    void DrawStageText(gfx::DeviceContext* dc);

protected:
    gfx::Rect m_rcField;
    gfx::Rect m_rcTitle;
    gfx::Rect m_rcStart;
    gfx::Rect m_rcStop;
    gfx::Rect m_rcExit;
    int m_bOnStart = 0;
    int m_bOnStop = 0;
    int m_bOnExit = 0;
    std::atomic<int> m_bPlaying{0};
    std::string m_strTitle;
    int m_bRebuildField = 1;
    int m_bRebuildStop = 1;
    gfx::DeviceContext m_dcField;
    gfx::DeviceContext m_dcStop;
    gfx::Bitmap m_bmpField;
    gfx::Bitmap m_bmpStop;
    // The stage label and its lock; only SetStageText and GetStageText touch the label.
    mutable sys::CriticalSection m_csStage;
    std::string m_strStage;
};
