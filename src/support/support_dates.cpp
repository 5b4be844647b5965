#include "support/support_dates.h"

#include <cstdio>

namespace kd {

namespace {

using namespace std::chrono;

// Reads exactly `count` digits at `at`, moving past them.
std::optional<int> digits(std::string_view text, std::size_t& at, std::size_t count) {
    if (at > text.size() || text.size() - at < count) return std::nullopt;
    int value = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const char c = text[at + i];
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    at += count;
    return value;
}

bool expect(std::string_view text, std::size_t& at, char c) {
    if (at >= text.size() || text[at] != c) return false;
    ++at;
    return true;
}

// "yyyy-MM-dd" then `separator` then "HH:mm:ss", checked as a real instant.
std::optional<sys_seconds> dateAndTime(std::string_view text, std::size_t& at, char separator) {
    const auto y = digits(text, at, 4);
    if (!y || !expect(text, at, '-')) return std::nullopt;
    const auto mo = digits(text, at, 2);
    if (!mo || !expect(text, at, '-')) return std::nullopt;
    const auto d = digits(text, at, 2);
    if (!d || !expect(text, at, separator)) return std::nullopt;
    const auto h = digits(text, at, 2);
    if (!h || !expect(text, at, ':')) return std::nullopt;
    const auto mi = digits(text, at, 2);
    if (!mi || !expect(text, at, ':')) return std::nullopt;
    const auto s = digits(text, at, 2);
    if (!s) return std::nullopt;
    const year_month_day day{year{*y}, month{static_cast<unsigned>(*mo)},
                             std::chrono::day{static_cast<unsigned>(*d)}};
    if (!day.ok() || *h > 23 || *mi > 59 || *s > 59) return std::nullopt;
    return sys_days{day} + hours{*h} + minutes{*mi} + seconds{*s};
}

// "Z" or "+HH:MM" / "-HH:MM", ending the text: the offset to subtract.
std::optional<minutes> zone(std::string_view text, std::size_t at) {
    if (at + 1 == text.size() && text[at] == 'Z') return minutes{0};
    if (at >= text.size() || (text[at] != '+' && text[at] != '-')) return std::nullopt;
    const bool ahead = text[at++] == '+';
    const auto h = digits(text, at, 2);
    if (!h || !expect(text, at, ':')) return std::nullopt;
    const auto m = digits(text, at, 2);
    if (!m || at != text.size() || *h > 23 || *m > 59) return std::nullopt;
    const minutes offset = hours{*h} + minutes{*m};
    return ahead ? offset : -offset;
}

std::optional<SupportTime> internetDateTime(std::string_view text, bool withFraction) {
    std::size_t at = 0;
    const auto whole = dateAndTime(text, at, 'T');
    if (!whole) return std::nullopt;
    milliseconds fraction{0};
    if (withFraction) {
        if (!expect(text, at, '.')) return std::nullopt;
        const std::size_t first = at;
        int scale = 100;
        while (at < text.size() && text[at] >= '0' && text[at] <= '9') {
            fraction += milliseconds{(text[at] - '0') * scale};
            scale /= 10;
            ++at;
        }
        if (at == first) return std::nullopt;
    }
    const auto offset = zone(text, at);
    if (!offset) return std::nullopt;
    return SupportTime{*whole - *offset} + fraction;
}

}  // namespace

std::optional<SupportTime> parseSupportDate(std::string_view text) {
    if (auto fractional = internetDateTime(text, true)) return fractional;
    if (auto whole = internetDateTime(text, false)) return whole;
    std::size_t at = 0;
    const auto plain = dateAndTime(text, at, ' ');
    if (!plain || at != text.size()) return std::nullopt;
    return SupportTime{*plain};
}

std::string supportTimestamp(sys_seconds time) {
    const auto day = floor<days>(time);
    const year_month_day date{day};
    const hh_mm_ss clock{time - day};
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02d:%02d:%02dZ", int(date.year()),
                  unsigned(date.month()), unsigned(date.day()), int(clock.hours().count()),
                  int(clock.minutes().count()), int(clock.seconds().count()));
    return text;
}

}  // namespace kd
