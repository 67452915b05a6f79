// The test programs' entry: runs the tests, then fails the run when a test was skipped for a reason that
// is not on the list below, or when no test ran at all. A skip that counted as a pass would let a machine
// without a display, a program or a prefix test nothing and still come out green.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <string>
#include <string_view>

namespace {

// The only reasons a test may give for skipping: what a build does not have by design. There is none now: every
// build with tests has all that its tests need. A reason added here says which builds lack what.
constexpr std::array<std::string_view, 0> ALLOWED_SKIP_REASONS{};

bool skip_allowed(const testing::TestResult& result) {
    for (int i = 0; i < result.total_part_count(); ++i) {
        const testing::TestPartResult& part = result.GetTestPartResult(i);
        if (!part.skipped()) continue;
        const std::string_view message = part.message();
        for (std::string_view reason : ALLOWED_SKIP_REASONS) {
            if (message.find(reason) != std::string_view::npos) return true;
        }
    }
    return false;
}

// Prints each test that was skipped for another reason; returns how many there were.
int unallowed_skips_report(const testing::UnitTest& unit) {
    int count = 0;
    for (int s = 0; s < unit.total_test_suite_count(); ++s) {
        const testing::TestSuite& suite = *unit.GetTestSuite(s);
        for (int t = 0; t < suite.total_test_count(); ++t) {
            const testing::TestInfo& test = *suite.GetTestInfo(t);
            const testing::TestResult& result = *test.result();
            if (!test.should_run() || !result.Skipped() || skip_allowed(result)) continue;
            ++count;
            std::string reason = result.total_part_count() > 0 ? result.GetTestPartResult(0).message() : "";
            std::printf("[ NOT ALLOWED ] %s.%s was skipped: %s\n", suite.name(), test.name(), reason.c_str());
        }
    }
    return count;
}

}  // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    const testing::UnitTest& unit = *testing::UnitTest::GetInstance();
    const int skipped = unallowed_skips_report(unit);
    if (skipped > 0) {
        std::printf("%d tests were skipped for a reason that is not allowed: the run fails\n", skipped);
        return 1;
    }
    if (unit.test_to_run_count() == 0) {
        std::printf("no test ran: the run fails\n");
        return 1;
    }
    return result;
}
