#include "GameClass/ThreadGame.h"

#include "platform/system/Assert.h"

namespace {

void Apply(ui::OwnerWindow* owner, CSerrikList<int>& ids, bool enable) {
    CSerrikList<int>::CWalkLock walk(ids);
    for (int i = 0; i < ids.GetCount(); ++i) {
        const int* id = ids.GetAt(i);
        if (id != nullptr) {
            owner->EnableControl(*id, enable);  // an id without a control is skipped
        }
    }
}

}  // namespace

CThreadGame::CThreadGame() {
    m_listRunControl.DeleteAll();
    m_listIdleControl.DeleteAll();
}

CThreadGame::~CThreadGame() {
    // Stop and join here, while the lists still exist and before this object stops being a
    // CThreadGame, rather than leaving it to the base destructor alone.
    StopAndJoin();
    m_listRecord.DeleteAll();
    m_listRunControl.DeleteAll();
    m_listIdleControl.DeleteAll();
}

void CThreadGame::AddRunControl(int id) {
    *m_listRunControl.AddNew() = id;
}

void CThreadGame::AddIdleControl(int id) {
    *m_listIdleControl.AddNew() = id;
}

void CThreadGame::UpdateControls() {
    ui::OwnerWindow* owner = GetOwner();
    SYS_ASSERT(owner != nullptr);
    if (owner == nullptr) {
        return;
    }
    const bool idle = IsIdle();
    const bool running = IsRunning();
    Apply(owner, m_listRunControl, running);
    Apply(owner, m_listIdleControl, idle);
}
