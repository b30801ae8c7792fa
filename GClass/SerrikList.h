#pragma once

#include <atomic>
#include <memory>
#include <new>
#include <vector>

#include "platform/system/CriticalSection.h"

// An ordered list of heap-allocated elements that it owns: DeleteAll deletes them, and so
// does the destructor for whatever the list still holds. Add, AddNew, GetAt and DeleteAll
// each hold m_lock for their whole call; GetCount reads an atomic count without it.
//
// A pointer from GetAt stays valid only until the next DeleteAll, possibly on another thread.
// A caller that walks the list while another thread may empty it holds a CWalkLock for the
// whole walk (the lock is re-entrant, so the single operations inside still take it).
template <class T>
class CSerrikList {
public:
    // Holds the list's lock for the lifetime of the scope.
    class CWalkLock {
    public:
        explicit CWalkLock(CSerrikList& list) : m_lock(list.m_lock) {}

    private:
        sys::ScopedLock m_lock;
    };

    CSerrikList() = default;
    virtual ~CSerrikList() { DeleteAll(); }
    CSerrikList(const CSerrikList&) = delete;
    CSerrikList& operator=(const CSerrikList&) = delete;

    // Appends an element; the list owns it from now on.
    void Add(T* p) {
        std::unique_ptr<T> owned(p);  // deleted, not leaked, if the append throws
        sys::ScopedLock lock(m_lock);
        m_list.push_back(p);
        owned.release();
        m_nCount.store(static_cast<int>(m_list.size()));
    }

    // Appends a default-constructed element and returns it, or returns nullptr and leaves
    // the list as it was when there is no memory for it: callers skip a null result.
    T* AddNew() {
        sys::ScopedLock lock(m_lock);
        try {
            auto p = std::make_unique<T>();
            m_list.push_back(p.get());
            m_nCount.store(static_cast<int>(m_list.size()));
            return p.release();
        } catch (const std::bad_alloc&) {
            return nullptr;
        }
    }

    // The element at a zero-based index, or nullptr outside 0 .. count - 1.
    T* GetAt(int index) {
        sys::ScopedLock lock(m_lock);
        if (index < 0 || index >= static_cast<int>(m_list.size())) {
            return nullptr;
        }
        return m_list[static_cast<std::size_t>(index)];
    }

    int GetCount() const { return m_nCount.load(); }

    // Deletes every element, oldest first; the list ends empty.
    void DeleteAll() {
        sys::ScopedLock lock(m_lock);
        // Every element leaves the list before it is deleted, so a destructor that looks at
        // the list finds it empty rather than holding dangling pointers.
        std::vector<T*> elements;
        elements.swap(m_list);
        m_nCount.store(0);
        for (T* p : elements) {
            delete p;
        }
    }

private:
    sys::CriticalSection m_lock;
    std::vector<T*> m_list;
    std::atomic<int> m_nCount{0};
};
