#pragma once

// User-defaults keys a self-test group borrows. They are cleared when the
// group starts, so a run cut short earlier cannot decide its checks, and
// cleared again when the group ends however its checks went, so a run leaves
// no trace in the user's settings.

#include <string>
#include <vector>

#include "platform/preferences.h"

namespace kd {

class ScratchKeys {
  public:
    ScratchKeys(Preferences& defaults, std::vector<std::string> keys);
    ~ScratchKeys();

    ScratchKeys(const ScratchKeys&) = delete;
    ScratchKeys& operator=(const ScratchKeys&) = delete;

  private:
    void clear();

    Preferences& defaults_;
    std::vector<std::string> keys_;
};

}  // namespace kd
