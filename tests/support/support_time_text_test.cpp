#include "support/support_time_text.h"

#include <gtest/gtest.h>

namespace kd {
namespace {

using namespace std::chrono;

SupportTime utc(year_month_day day, hours h, minutes m) {
    return SupportTime{sys_days{day} + h + m};
}

TEST(SupportTimeTextTest, TodayShowsTheClockAndOtherDaysTheDateToo) {
    const SupportClockSetting berlin{"en_US", "Europe/Berlin"};
    const SupportTime now = utc(2024y / May / 1, 20h, 0min);
    struct Case {
        SupportTime date;
        std::string text;
    };
    const Case cases[] = {
        {utc(2024y / May / 1, 12h, 30min), "14:30"},
        {utc(2024y / April / 30, 22h, 15min), "00:15"},  // already the 1st in Berlin
        {utc(2024y / April / 30, 21h, 15min), "30 Apr, 23:15"},
        {utc(2023y / May / 1, 12h, 30min), "1 May, 14:30"},
    };
    for (const auto& c : cases) EXPECT_EQ(supportTimeText(c.date, now, berlin), c.text);
    EXPECT_EQ(supportTimeText(std::nullopt, now, berlin), "");
    EXPECT_EQ(supportTimeText(parseSupportDate("yesterday"), now, berlin), "");
}

TEST(SupportTimeTextTest, MonthNamesFollowTheLocale) {
    const SupportTime now = utc(2024y / May / 1, 20h, 0min);
    EXPECT_EQ(supportTimeText(utc(2024y / March / 3, 9h, 5min), now, {"de_DE", "UTC"}),
              "3 M\u00e4rz, 09:05");
}

}  // namespace
}  // namespace kd
