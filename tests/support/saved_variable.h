#pragma once

// An environment variable that a test changes, put back as it was when the
// test ends.

#include <stdlib.h>

#include <optional>
#include <string>

namespace kd::testing {

class SavedVariable {
  public:
    explicit SavedVariable(const char* name) : name_(name) {
        if (const char* value = ::getenv(name)) saved_ = value;
    }
    // Saves the variable, then sets it to `value`.
    SavedVariable(const char* name, const std::string& value) : SavedVariable(name) {
        ::setenv(name, value.c_str(), 1);
    }
    ~SavedVariable() {
        if (saved_) {
            ::setenv(name_, saved_->c_str(), 1);
        } else {
            ::unsetenv(name_);
        }
    }
    SavedVariable(const SavedVariable&) = delete;
    SavedVariable& operator=(const SavedVariable&) = delete;

  private:
    const char* name_;
    std::optional<std::string> saved_;
};

}  // namespace kd::testing
