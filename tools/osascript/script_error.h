#pragma once

// An error the way the AppleScript interpreter reports one: where in the
// script it is, whether it was found before or while running, the message
// and AppleScript's error number.

#include <cstddef>
#include <stdexcept>
#include <string>

namespace kd::osascript {

class ScriptError : public std::runtime_error {
  public:
    enum class Stage { syntax, execution };

    ScriptError(Stage stage, std::size_t from, std::size_t to, const std::string& message,
                int number)
        : std::runtime_error(message), stage_(stage), from_(from), to_(to), number_(number) {}

    // "0:12: syntax error: A unknown token can’t go after this identifier. (-2740)"
    std::string line() const {
        return std::to_string(from_) + ":" + std::to_string(to_) + ": " +
               (stage_ == Stage::syntax ? "syntax error: " : "execution error: ") + what() + " (" +
               std::to_string(number_) + ")";
    }

  private:
    Stage stage_;
    std::size_t from_;
    std::size_t to_;
    int number_;
};

}  // namespace kd::osascript
