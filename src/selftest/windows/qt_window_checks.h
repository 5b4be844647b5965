#pragma once

// Groups 10 and 16 on real Qt Quick windows, off screen: a plain window
// beside one in our frame, probed with the mouse and under a foreign
// locale. Uses the running QGuiApplication, or makes an off-screen one for
// the checks' length. Qt's own messages meanwhile become check details, so
// a passing run prints nothing.

#include "selftest/window_checks.h"

namespace kd {

WindowChecks qtWindowChecks();

}  // namespace kd
