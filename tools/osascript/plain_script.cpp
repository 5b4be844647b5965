#include "osascript/plain_script.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <chrono>
#include <thread>
#include <vector>

#include "osascript/arithmetic.h"
#include "osascript/script_error.h"

namespace kd::osascript {
namespace {

constexpr int kUnknownTokenError = -2740;
constexpr int kExpectedError = -2741;

// Longer than anything waits for an answer, and keeps the sleep's time
// arithmetic in range however large the number written.
constexpr double kLongestDelaySeconds = 24 * 60 * 60;

// A piece of the script and where it starts in it.
struct Span {
    std::string_view text;
    std::size_t offset = 0;

    std::size_t end() const { return offset + text.size(); }
};

struct Statement {
    enum class Kind { delay, returnValue } kind;
    Span argument;
    double seconds = 0;
};

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}
bool isWordChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_';
}

bool isDigit(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

// Digits with at most one decimal point: no sign, no exponent.
bool isDecimal(std::string_view text) {
    const auto dots = std::count(text.begin(), text.end(), '.');
    const auto digits = std::count_if(text.begin(), text.end(), isDigit);
    return digits > 0 && dots <= 1 && static_cast<std::size_t>(digits + dots) == text.size();
}

Span trimmed(Span span) {
    while (!span.text.empty() && isBlank(span.text.front())) {
        span.text.remove_prefix(1);
        ++span.offset;
    }
    while (!span.text.empty() && isBlank(span.text.back())) span.text.remove_suffix(1);
    return span;
}

// Each line without its comment and surrounding blanks; empty ones dropped.
std::vector<Span> codeLines(std::string_view script) {
    std::vector<Span> lines;
    std::size_t start = 0;
    while (start <= script.size()) {
        const auto end = std::min(script.find_first_of("\r\n", start), script.size());
        auto line = script.substr(start, end - start);
        line = line.substr(0, line.find("--"));
        const auto code = trimmed(Span{line, start});
        if (!code.text.empty()) lines.push_back(code);
        start = end + 1;
    }
    return lines;
}

bool sameWord(std::string_view word, std::string_view keyword) {
    return std::equal(word.begin(), word.end(), keyword.begin(), keyword.end(), [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == b;
    });
}

[[noreturn]] void syntaxError(Span at, const std::string& message, int number) {
    throw ScriptError(ScriptError::Stage::syntax, at.offset, at.end(), message, number);
}

double delaySeconds(Span argument) {
    if (argument.text.empty()) {
        syntaxError(argument, "Expected expression but found end of line.", kExpectedError);
    }
    double seconds = 0;
    const auto* last = argument.text.data() + argument.text.size();
    if (!isDecimal(argument.text) ||
        std::from_chars(argument.text.data(), last, seconds, std::chars_format::fixed).ptr !=
            last) {
        syntaxError(argument, "Expected expression but found unknown token.", kExpectedError);
    }
    return std::min(seconds, kLongestDelaySeconds);
}

Statement compile(Span line) {
    const auto wordEnd = static_cast<std::size_t>(
        std::find_if_not(line.text.begin(), line.text.end(), isWordChar) - line.text.begin());
    const auto word = line.text.substr(0, wordEnd);
    const auto rest = line.text.substr(wordEnd);
    const bool separated = rest.empty() || isBlank(rest.front());
    const auto argument = trimmed(Span{rest, line.offset + wordEnd});
    if (separated && sameWord(word, "delay")) {
        return Statement{Statement::Kind::delay, argument, delaySeconds(argument)};
    }
    if (separated && sameWord(word, "return")) {
        if (!argument.text.empty()) {
            arithmetic(argument.text, argument.offset, Arithmetic::checkOnly);
        }
        return Statement{Statement::Kind::returnValue, argument};
    }
    syntaxError(line, "A unknown token can’t go after this identifier.", kUnknownTokenError);
}

}  // namespace

int runPlainScript(std::string_view script, std::ostream& out, std::ostream& err) {
    try {
        std::vector<Statement> statements;
        for (const auto& line : codeLines(script)) statements.push_back(compile(line));
        for (const auto& statement : statements) {
            if (statement.kind == Statement::Kind::delay) {
                std::this_thread::sleep_for(std::chrono::duration<double>(statement.seconds));
                continue;
            }
            if (!statement.argument.text.empty()) {
                out << arithmetic(statement.argument.text, statement.argument.offset,
                                  Arithmetic::evaluate)
                    << '\n';
            }
            return 0;
        }
        return 0;
    } catch (const ScriptError& error) {
        err << error.line() << '\n';
        return 1;
    }
}

}  // namespace kd::osascript
