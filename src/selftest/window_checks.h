#pragma once

// The checks on the application's windows (groups 10 and 16). They need the
// window toolkit, which the other groups do without: the program hands them
// in, and a group without them checks nothing.

#include <functional>

#include "selftest/self_test.h"

namespace kd {

struct WindowChecks {
    std::function<void(SelfTest&)> chrome;    // testWindowChrome
    std::function<void(SelfTest&)> language;  // the window is in English
};

}  // namespace kd
