#include "GClass/SerrikList.h"

#include <gtest/gtest.h>

#include <atomic>
#include <new>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/LockProbe.h"
#include "tests/support/RealThreads.h"

namespace {

// Counts constructions and destructions, and marks itself dead when destroyed, so a walk
// that reaches a deleted element shows (and the sanitizers see the use after free).
struct Tracked {
    static inline std::atomic<int> alive{0};
    static inline std::atomic<int> destroyed{0};
    Tracked() { ++alive; }
    virtual ~Tracked() {
        magic = 0;
        --alive;
        ++destroyed;
    }
    int magic = 0x5EED;
    int value = 0;
};

struct DerivedTracked : Tracked {
    static inline std::atomic<int> derivedDestroyed{0};
    ~DerivedTracked() override { ++derivedDestroyed; }
};

class SerrikListTest : public testing::Test {
protected:
    void SetUp() override {
        Tracked::alive = 0;
        Tracked::destroyed = 0;
        DerivedTracked::derivedDestroyed = 0;
    }
};

TEST_F(SerrikListTest, GetAtOutsideTheRangeIsNull) {
    CSerrikList<int> list;
    EXPECT_EQ(list.GetAt(0), nullptr);
    EXPECT_EQ(list.GetAt(-1), nullptr);
    for (int i = 0; i < 3; ++i) {
        *list.AddNew() = 10 * i;
    }
    EXPECT_EQ(list.GetCount(), 3);
    EXPECT_EQ(list.GetAt(-1), nullptr);
    EXPECT_EQ(list.GetAt(3), nullptr);
    for (int i = 0; i < 3; ++i) {
        ASSERT_NE(list.GetAt(i), nullptr);
        EXPECT_EQ(*list.GetAt(i), 10 * i);  // insertion order
    }
    list.DeleteAll();
}

TEST_F(SerrikListTest, AddNewValueInitialisesPlainValues) {
    CSerrikList<int> list;
    EXPECT_EQ(*list.AddNew(), 0);
    list.DeleteAll();
}

TEST_F(SerrikListTest, DeleteAllRunsEachDestructorExactlyOnce) {
    CSerrikList<Tracked> list;
    list.DeleteAll();  // on an empty list: nothing
    EXPECT_EQ(Tracked::destroyed, 0);
    Tracked* a = list.AddNew();
    list.Add(new DerivedTracked);
    list.Add(nullptr);  // a null entry is removed without deleting anything
    list.AddNew();
    EXPECT_EQ(list.GetCount(), 4);
    EXPECT_EQ(list.GetAt(0), a);
    EXPECT_EQ(list.GetAt(2), nullptr);
    EXPECT_EQ(Tracked::alive, 3);

    list.DeleteAll();
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_EQ(Tracked::destroyed, 3);
    EXPECT_EQ(DerivedTracked::derivedDestroyed, 1);  // through the virtual destructor
    EXPECT_EQ(Tracked::alive, 0);

    list.DeleteAll();
    EXPECT_EQ(Tracked::destroyed, 3);
    ASSERT_NE(list.AddNew(), nullptr);  // usable again
    EXPECT_EQ(list.GetCount(), 1);
    list.DeleteAll();
    EXPECT_EQ(Tracked::destroyed, 4);
}

TEST_F(SerrikListTest, DestroyingTheListDeletesWhatItStillHolds) {
    {
        CSerrikList<Tracked> list;
        list.AddNew();
        list.Add(new DerivedTracked);
        list.Add(nullptr);
    }
    EXPECT_EQ(Tracked::destroyed, 2);
    EXPECT_EQ(DerivedTracked::derivedDestroyed, 1);
    EXPECT_EQ(Tracked::alive, 0);
}

// An element whose allocation fails on request, as when memory runs out.
struct Scarce : Tracked {
    static inline int failAt = -1;  // the allocation number that fails
    static inline int allocations = 0;
    static void* operator new(std::size_t size) {
        if (allocations++ == failAt) {
            throw std::bad_alloc();
        }
        return ::operator new(size);
    }
    static void operator delete(void* p) { ::operator delete(p); }
};

TEST_F(SerrikListTest, AnAddNewWithoutMemoryYieldsNullAndLeavesTheListAsItWas) {
    CSerrikList<Scarce> list;
    Scarce::allocations = 0;
    Scarce::failAt = 1;
    std::vector<bool> got;
    for (int i = 0; i < 3; ++i) {
        Scarce* p = nullptr;
        EXPECT_NO_THROW(p = list.AddNew()) << i;
        got.push_back(p != nullptr);
    }
    Scarce::failAt = -1;
    EXPECT_EQ(got, (std::vector<bool>{true, false, true}));
    EXPECT_EQ(list.GetCount(), 2);
    EXPECT_NE(list.GetAt(1), nullptr);
    list.DeleteAll();
    EXPECT_EQ(Tracked::alive, 0);
}

// Each operation that touches the elements waits while another thread holds the list's lock.
TEST_F(SerrikListTest, EveryElementOperationTakesTheListsLock) {
    TOLVANE_NEEDS_REAL_THREADS();
    CSerrikList<Tracked> list;
    list.AddNew();
    const auto hold = [&](const std::function<void()>& inside) {
        CSerrikList<Tracked>::CWalkLock walk(list);
        inside();
    };
    std::atomic<Tracked*> fetched{nullptr};
    const std::vector<testsupport::NamedOp> ops = {
        {"Add", [&] { list.Add(new Tracked); }},
        {"AddNew", [&] { list.AddNew(); }},
        {"GetAt", [&] { fetched = list.GetAt(0); }},
        {"DeleteAll", [&] { list.DeleteAll(); }},
    };
    EXPECT_EQ(testsupport::OpsThatIgnoreTheLock(hold, ops), "");
    list.DeleteAll();
    EXPECT_EQ(Tracked::alive, 0);
}

// One thread refills the list over and over while another walks it under the walk lock,
// as the game thread and painting do: the walker only ever meets live elements.
TEST_F(SerrikListTest, AWalkUnderTheWalkLockNeverMeetsADeletedElement) {
    TOLVANE_NEEDS_REAL_THREADS();
    CSerrikList<Tracked> list;
    std::atomic<bool> done{false};
    std::atomic<bool> walking{false};
    std::thread refill([&] {
        while (!walking) {  // so the two threads overlap however they are scheduled
            std::this_thread::yield();
        }
        for (int round = 0; round < 2000; ++round) {
            CSerrikList<Tracked>::CWalkLock walk(list);
            list.DeleteAll();
            for (int i = 0; i < 5; ++i) {
                list.AddNew()->value = round;
            }
        }
        done = true;
    });
    int walks = 0;
    int bad = 0;
    while (!done) {
        CSerrikList<Tracked>::CWalkLock walk(list);
        walking = true;
        int round = -1;
        for (int i = 0; i < list.GetCount(); ++i) {
            const Tracked* t = list.GetAt(i);
            if (t == nullptr || t->magic != 0x5EED) {
                ++bad;
                continue;
            }
            if (round < 0) {
                round = t->value;
            }
            bad += t->value != round ? 1 : 0;  // never a mixture of two fills
        }
        ++walks;
    }
    refill.join();
    EXPECT_EQ(bad, 0);
    EXPECT_GT(walks, 0);
    list.DeleteAll();
    EXPECT_EQ(Tracked::alive, 0);
}

}  // namespace
