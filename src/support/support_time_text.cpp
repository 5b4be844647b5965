#include "support/support_time_text.h"

#include <unicode/calendar.h>
#include <unicode/smpdtfmt.h>
#include <unicode/timezone.h>

#include <memory>
#include <tuple>

namespace kd {

namespace {

UDate udate(SupportTime time) {
    return static_cast<UDate>(time.time_since_epoch().count());
}

}  // namespace

std::string supportTimeText(const std::optional<SupportTime>& date, SupportTime now,
                            const SupportClockSetting& setting) {
    if (!date) return {};
    const icu::Locale locale(setting.localeIdentifier.c_str());
    const std::unique_ptr<icu::TimeZone> zone(
        icu::TimeZone::createTimeZone(icu::UnicodeString::fromUTF8(setting.timeZoneIdentifier)));
    UErrorCode status = U_ZERO_ERROR;
    const std::unique_ptr<icu::Calendar> calendar(
        icu::Calendar::createInstance(*zone, locale, status));
    if (U_FAILURE(status)) return {};
    const auto dayOf = [&](UDate when) {
        calendar->setTime(when, status);
        return std::tuple(calendar->get(UCAL_ERA, status),
                          calendar->get(UCAL_EXTENDED_YEAR, status),
                          calendar->get(UCAL_DAY_OF_YEAR, status));
    };
    const bool today = dayOf(udate(*date)) == dayOf(udate(now));
    icu::SimpleDateFormat format(today ? "HH:mm" : "d MMM, HH:mm", locale, status);
    if (U_FAILURE(status)) return {};
    format.setTimeZone(*zone);
    icu::UnicodeString text;
    format.format(udate(*date), text);
    std::string utf8;
    text.toUTF8String(utf8);
    return utf8;
}

}  // namespace kd
