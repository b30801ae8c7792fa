#include "GameClass/ThreadGame.h"

#include <vector>

#include "platform/system/Assert.h"

namespace {

// The ids are copied under the list's lock and applied after it is released, so the
// owner's window code never runs while this thread holds the list.
void Apply(sys::OwnerWindow* owner, CSerrikList<int>& ids, bool enable) {
    std::vector<int> copy;
    {
        CSerrikList<int>::CWalkLock walk(ids);
        for (int i = 0; i < ids.GetCount(); ++i) {
            if (const int* id = ids.GetAt(i)) {
                copy.push_back(*id);
            }
        }
    }
    for (int id : copy) {
        owner->EnableControl(id, enable);  // an id without a control is skipped
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
    if (int* slot = m_listRunControl.AddNew()) {
        *slot = id;
    }
}

void CThreadGame::AddIdleControl(int id) {
    if (int* slot = m_listIdleControl.AddNew()) {
        *slot = id;
    }
}

void CThreadGame::UpdateControls() {
    sys::OwnerWindow* owner = GetOwner();
    SYS_ASSERT(owner != nullptr);
    if (owner == nullptr) {
        return;
    }
    const bool idle = IsIdle();
    const bool running = IsRunning();
    Apply(owner, m_listRunControl, running);
    Apply(owner, m_listIdleControl, idle);
}
