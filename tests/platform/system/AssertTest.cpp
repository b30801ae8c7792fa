#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/system/Assert.h"

namespace {

struct Failure {
    std::string expr;
    std::string file;
    int line;
};
std::vector<Failure> g_failures;

void Record(const char* expr, const char* file, int line) {
    g_failures.push_back({expr, file, line});
}

class AssertTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_failures.clear();
        previous_ = sys::SetAssertHandler(&Record);
    }
    void TearDown() override { sys::SetAssertHandler(previous_); }

    sys::AssertHandler previous_ = nullptr;
};

TEST_F(AssertTest, ReportsExpressionFileAndLineInDebugBuilds) {
#ifdef NDEBUG
    GTEST_SKIP() << "assertions are compiled out of release builds";
#else
    const int cols = 0;
    const int line = __LINE__ + 1;
    SYS_ASSERT(cols >= 1);
    SYS_ASSERT(cols == 0);  // holds: no report
    ASSERT_EQ(g_failures.size(), 1u);
    EXPECT_EQ(g_failures[0].expr, "cols >= 1");
    // The build maps the source root away, so the path is relative to it.
    EXPECT_EQ(g_failures[0].file, "tests/platform/system/AssertTest.cpp");
    EXPECT_EQ(g_failures[0].line, line);
#endif
}

TEST_F(AssertTest, ConditionIsEvaluatedOnlyInDebugBuilds) {
    int evaluations = 0;
    SYS_ASSERT(++evaluations > 0);
#ifdef NDEBUG
    EXPECT_EQ(evaluations, 0);
#else
    EXPECT_EQ(evaluations, 1);
#endif
    EXPECT_TRUE(g_failures.empty());
}

TEST_F(AssertTest, SetAssertHandlerReturnsThePreviousOne) {
    EXPECT_EQ(sys::SetAssertHandler(nullptr), &Record);
    // nullptr installed the default, which is not null and can be handed back later.
    const sys::AssertHandler fallback = sys::SetAssertHandler(&Record);
    EXPECT_NE(fallback, nullptr);
    EXPECT_NE(fallback, &Record);
}

// The browser build has no second process for a death test to run in.
#if GTEST_HAS_DEATH_TEST
TEST(AssertDeathTest, DefaultHandlerPrintsTheLineAndAborts) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const sys::AssertHandler previous = sys::SetAssertHandler(nullptr);
    EXPECT_DEATH(sys::AssertFailed("x > 0", "GClass/Rect2.cpp", 42),
                 "GClass/Rect2\\.cpp\\(42\\): assertion failed: x > 0");
    sys::SetAssertHandler(previous);
}
#endif

}  // namespace
