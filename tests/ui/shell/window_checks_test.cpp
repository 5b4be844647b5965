#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLocale>

#include "selftest/windows/qt_window_checks.h"

namespace kd {
namespace {

// The self-test's window groups inside a running application, as the tests
// have one: they use it rather than making their own, and leave it usable.
TEST(WindowChecks, PassInARunningApplicationAndCheckWhatTheirNamesSay) {
    const QLocale before;
    SelfTest t;
    const auto checks = qtWindowChecks();
    checks.chrome(t);
    checks.language(t);
    EXPECT_EQ(t.failures(), std::vector<std::string>{});
    EXPECT_EQ(t.passed(), 4);
    EXPECT_NE(QCoreApplication::instance(), nullptr);
    // The foreign locale of the language check is the checks' alone.
    EXPECT_EQ(QLocale(), before);
}

}  // namespace
}  // namespace kd
