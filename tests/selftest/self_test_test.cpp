#include <gtest/gtest.h>

#include <sstream>

#include "selftest/self_test.h"

namespace kd {
namespace {

TEST(SelfTestTest, AFailedEqualSaysWhatItGotAndWanted) {
    SelfTest t;
    t.equal("x", std::uint32_t{7}, std::uint32_t{23});
    t.equal("same", 4, 4);
    t.equal("text", std::string("left"), std::string("top"));
    t.equal("absent", std::optional<int>(), std::optional<int>(3));
    ASSERT_EQ(t.failures().size(), 3u);
    EXPECT_EQ(t.failures()[0], "x \u2014 got 7, want 23");
    EXPECT_EQ(t.failures()[1], "text \u2014 got left, want top");
    EXPECT_EQ(t.failures()[2], "absent \u2014 got nil, want 3");
    EXPECT_EQ(t.passed(), 1);
}

TEST(SelfTestTest, ACheckCarriesItsDetailOnlyWhenThereIsOne) {
    SelfTest t;
    bool asked = false;
    t.check("fine", true, [&] {
        asked = true;
        return std::string("never");
    });
    t.check("bare", false);
    t.check("empty detail", false, [] { return std::string(); });
    t.check("explained", false, [] { return std::string("found a loop"); });
    EXPECT_FALSE(asked) << "the detail is only worked out for a failure";
    EXPECT_EQ(t.failures(),
              (std::vector<std::string>{"bare", "empty detail", "explained \u2014 found a loop"}));
}

TEST(SelfTestTest, TheReportCountsEveryCheck) {
    SelfTest t;
    for (int i = 0; i < 298; ++i) t.check("ok", true);
    t.check("a", false);
    t.check("b", false);
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(t.report(out, err), 1);
    EXPECT_EQ(out.str(), "self-test: 2 of 300 checks FAILED\n");
    EXPECT_EQ(err.str(), "FAIL  a\nFAIL  b\n");

    SelfTest clean;
    clean.check("ok", true);
    std::ostringstream cleanOut;
    EXPECT_EQ(clean.report(cleanOut, err), 0);
    EXPECT_EQ(cleanOut.str(), "self-test: 1 checks passed\n");
}

}  // namespace
}  // namespace kd
