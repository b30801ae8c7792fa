#pragma once

#include "GClass/SerrikList.h"
#include "GClass/SerrikThread.h"
#include "platform/graphics/Types.h"

// A record the binding can keep for its game; nothing in this game fills one.
class CThreadRecord {
public:
    CThreadRecord() = default;
    virtual ~CThreadRecord() = default;

    int m_n1 = 0;
    int m_n2 = 0;
    int m_n3 = 0;
    int m_n4 = 0;
    int m_n5 = 0;
    int m_n6 = 0;
    gfx::Point m_pt;
    int m_n7 = 0;
};

// A worker bound to its owner dialog: it keeps the ids of controls to enable only while a
// run is active and of those to enable only while none is, and applies them on request.
class CThreadGame : public CSerrikThread {
public:
    CThreadGame();
    ~CThreadGame() override;

    void Run() override {}
    // Enables or disables the listed controls through the owner by the worker's state. While
    // paused, the controls of both lists are disabled.
    virtual void UpdateControls();

    void AddRunControl(int id);
    void AddIdleControl(int id);
    bool IsRunning() const { return GetState() == STATE_RUNNING; }

protected:
    CSerrikList<CThreadRecord> m_listRecord;
    CSerrikList<int> m_listRunControl;
    CSerrikList<int> m_listIdleControl;
};
