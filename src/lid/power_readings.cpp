#include "lid/power_readings.h"

#include <charconv>
#include <string>

#include "transport/tool_runner.h"

namespace kd {

namespace {

constexpr std::string_view kBlank = " \t\r\n\v\f";

std::string_view firstLineWith(std::string_view text, std::string_view needle) {
    while (!text.empty()) {
        const auto end = text.find('\n');
        const auto line = text.substr(0, end);
        if (line.find(needle) != std::string_view::npos) return line;
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return {};
}

std::optional<int> parsedInteger(std::string_view digits) {
    int value = 0;
    const auto* end = digits.data() + digits.size();
    const auto [stop, error] = std::from_chars(digits.data(), end, value);
    if (digits.empty() || error != std::errc() || stop != end) return std::nullopt;
    return value;
}

}  // namespace

bool sleepDisabledIn(std::string_view pmsetOutput) {
    auto line = firstLineWith(pmsetOutput, "SleepDisabled");
    std::string_view last;
    while (!line.empty()) {
        const auto start = line.find_first_not_of(" \t");
        if (start == std::string_view::npos) break;
        line.remove_prefix(start);
        const auto end = line.find_first_of(" \t");
        last = line.substr(0, end);
        if (end == std::string_view::npos) break;
        line.remove_prefix(end);
    }
    return last == "1";
}

int batteryTempCIn(std::string_view ioregOutput) {
    const auto line = firstLineWith(ioregOutput, "\"Temperature\"");
    const auto equals = line.find('=');
    if (equals == std::string_view::npos) return 0;
    std::string digits;
    for (const char c : line.substr(equals + 1)) {
        if (c >= '0' && c <= '9') digits += c;
    }
    return parsedInteger(digits).value_or(0) / 100;
}

std::optional<int> temperatureFileReading(std::string_view text) {
    const auto start = text.find_first_not_of(kBlank);
    if (start == std::string_view::npos) return std::nullopt;
    text = text.substr(start, text.find_last_not_of(kBlank) - start + 1);
    return parsedInteger(text);
}

bool sleepDisabled(const SystemTools& tools) {
    return sleepDisabledIn(tools.run("/usr/bin/pmset", {"-g"}, kDefaultToolTimeout));
}

int batteryTempC(const SystemTools& tools) {
    return batteryTempCIn(
        tools.run("/usr/sbin/ioreg", {"-r", "-n", "AppleSmartBattery"}, kDefaultToolTimeout));
}

}  // namespace kd
