#include "update/version_order.h"

#include <cctype>
#include <string_view>

namespace kd {

namespace {

bool isDigit(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}
bool isSpace(char c) {
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isSpace(text.front())) text.remove_prefix(1);
    while (!text.empty() && isSpace(text.back())) text.remove_suffix(1);
    return text;
}

// One dot-separated part: its number and whatever follows the digits.
struct Part {
    std::string_view number;
    std::string_view suffix;
};

Part takePart(std::string_view& rest) {
    const auto dot = rest.find('.');
    const auto text = rest.substr(0, dot);
    rest = dot == std::string_view::npos ? std::string_view() : rest.substr(dot + 1);
    std::size_t digits = 0;
    while (digits < text.size() && isDigit(text[digits])) ++digits;
    return Part{text.substr(0, digits), text.substr(digits)};
}

int sign(int value) {
    return (value > 0) - (value < 0);
}

std::string_view takeRun(std::string_view& text) {
    std::size_t length = 0;
    const bool digits = isDigit(text.front());
    while (length < text.size() && isDigit(text[length]) == digits) ++length;
    const auto run = text.substr(0, length);
    text.remove_prefix(length);
    return run;
}

int compareNumbers(std::string_view a, std::string_view b) {
    while (!a.empty() && a.front() == '0') a.remove_prefix(1);
    while (!b.empty() && b.front() == '0') b.remove_prefix(1);
    if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
    return sign(a.compare(b));
}

// Pre-release texts such as "b2" and "b10": runs of digits by their value,
// everything else by its characters.
int compareSuffixes(std::string_view a, std::string_view b) {
    while (!a.empty() && !b.empty()) {
        const bool numeric = isDigit(a.front()) && isDigit(b.front());
        const auto left = takeRun(a);
        const auto right = takeRun(b);
        const int order = numeric ? compareNumbers(left, right) : sign(left.compare(right));
        if (order != 0) return order;
    }
    return a.empty() == b.empty() ? 0 : (a.empty() ? -1 : 1);
}

int compareParts(const Part& a, const Part& b) {
    if (const int order = compareNumbers(a.number, b.number); order != 0) return order;
    // Same number: the plain release comes after its pre-releases.
    if (a.suffix.empty() != b.suffix.empty()) return a.suffix.empty() ? 1 : -1;
    return compareSuffixes(a.suffix, b.suffix);
}

}  // namespace

int compareVersions(std::string_view a, std::string_view b) {
    a = trimmed(a);
    b = trimmed(b);
    while (!a.empty() || !b.empty()) {
        const Part left = takePart(a);
        const Part right = takePart(b);
        if (const int order = compareParts(left, right); order != 0) return order;
    }
    return 0;
}

bool isVersion(std::string_view text) {
    text = trimmed(text);
    return !text.empty() && isDigit(text.front());
}

}  // namespace kd
