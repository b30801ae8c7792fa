#pragma once

#include <atomic>
#include <vector>

#include "platform/system/CriticalSection.h"

// An ordered list of heap-allocated elements that it owns. Elements are deleted only by
// DeleteAll; the destructor releases the list but no element, so every owner calls DeleteAll
// before the list goes. Add, AddNew, GetAt and DeleteAll each hold m_lock for their whole
// call; GetCount reads an atomic count without it.
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
    virtual ~CSerrikList() = default;
    CSerrikList(const CSerrikList&) = delete;
    CSerrikList& operator=(const CSerrikList&) = delete;

    // Appends an element; the list owns it from now on.
    void Add(T* p) {
        sys::ScopedLock lock(m_lock);
        m_list.push_back(p);
        m_nCount.store(static_cast<int>(m_list.size()));
    }

    // Appends a default-constructed element and returns it.
    T* AddNew() {
        sys::ScopedLock lock(m_lock);
        T* p = new T();
        m_list.push_back(p);
        m_nCount.store(static_cast<int>(m_list.size()));
        return p;
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
        for (T* p : m_list) {
            delete p;
        }
        m_list.clear();
        m_list.shrink_to_fit();
        m_nCount.store(0);
    }

private:
    sys::CriticalSection m_lock;
    std::vector<T*> m_list;
    std::atomic<int> m_nCount{0};
};
