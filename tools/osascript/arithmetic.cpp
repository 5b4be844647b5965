#include "osascript/arithmetic.h"

#include <cctype>
#include <limits>
#include <string>

#include "osascript/script_error.h"

namespace kd::osascript {
namespace {

constexpr int kExpectedError = -2741;
constexpr int kDivideByZeroError = -2701;
constexpr int kTooLargeError = -2702;

class Parser {
  public:
    Parser(std::string_view text, std::size_t offset, Arithmetic mode)
        : text_(text), offset_(offset), evaluate_(mode == Arithmetic::evaluate) {}

    std::int64_t whole() {
        const auto value = sum();
        skipSpace();
        if (at_ < text_.size()) syntaxError("Expected end of line but found unknown token.");
        return value;
    }

  private:
    std::int64_t sum() {
        auto value = product();
        while (true) {
            skipSpace();
            const char op = peek();
            if (op != '+' && op != '-') return value;
            const auto opAt = at_++;
            const auto right = product();
            value = checked(op, value, right, opAt);
        }
    }

    std::int64_t product() {
        auto value = factor();
        while (true) {
            skipSpace();
            const char op = peek();
            if (op != '*' && op != '/') return value;
            const auto opAt = at_++;
            const auto right = factor();
            value = checked(op, value, right, opAt);
        }
    }

    std::int64_t factor() {
        skipSpace();
        const char c = peek();
        if (c == '-') {
            const auto opAt = at_++;
            return checked('-', 0, factor(), opAt);
        }
        if (c == '(') {
            ++at_;
            const auto value = sum();
            skipSpace();
            if (peek() != ')') syntaxError("Expected “)” but found unknown token.");
            ++at_;
            return value;
        }
        if (std::isdigit(static_cast<unsigned char>(c)) != 0) return literal();
        syntaxError(at_ < text_.size() ? "Expected expression but found unknown token."
                                       : "Expected expression but found end of line.");
    }

    std::int64_t literal() {
        const auto start = at_;
        std::int64_t value = 0;
        bool tooLarge = false;
        while (std::isdigit(static_cast<unsigned char>(peek())) != 0) {
            const int digit = text_[at_++] - '0';
            tooLarge = tooLarge || __builtin_mul_overflow(value, 10, &value) ||
                       __builtin_add_overflow(value, digit, &value);
        }
        if (tooLarge && evaluate_) {
            throw ScriptError(ScriptError::Stage::execution, offset_ + start, offset_ + at_,
                              "The result of a numeric operation was too large.", kTooLargeError);
        }
        return value;
    }

    std::int64_t checked(char op, std::int64_t left, std::int64_t right, std::size_t opAt) const {
        if (!evaluate_) return 0;
        std::int64_t result = 0;
        bool overflow = false;
        switch (op) {
            case '+':
                overflow = __builtin_add_overflow(left, right, &result);
                break;
            case '-':
                overflow = __builtin_sub_overflow(left, right, &result);
                break;
            case '*':
                overflow = __builtin_mul_overflow(left, right, &result);
                break;
            default:
                if (right == 0) {
                    throw ScriptError(
                        ScriptError::Stage::execution, offset_ + opAt, offset_ + opAt + 1,
                        "Can’t divide " + std::to_string(left) + " by zero.", kDivideByZeroError);
                }
                overflow = left == std::numeric_limits<std::int64_t>::min() && right == -1;
                if (!overflow) result = left / right;
        }
        if (overflow) {
            throw ScriptError(ScriptError::Stage::execution, offset_ + opAt, offset_ + opAt + 1,
                              "The result of a numeric operation was too large.", kTooLargeError);
        }
        return result;
    }

    void skipSpace() {
        while (at_ < text_.size() && (text_[at_] == ' ' || text_[at_] == '\t')) ++at_;
    }
    char peek() const { return at_ < text_.size() ? text_[at_] : '\0'; }

    [[noreturn]] void syntaxError(const std::string& message) const {
        const auto end = at_ < text_.size() ? at_ + 1 : at_;
        throw ScriptError(ScriptError::Stage::syntax, offset_ + at_, offset_ + end, message,
                          kExpectedError);
    }

    std::string_view text_;
    std::size_t offset_;
    bool evaluate_;
    std::size_t at_ = 0;
};

}  // namespace

std::int64_t arithmetic(std::string_view expression, std::size_t offset, Arithmetic mode) {
    return Parser(expression, offset, mode).whole();
}

}  // namespace kd::osascript
