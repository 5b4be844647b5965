#pragma once

#include <ostream>

#include "selftest/self_test_context.h"

namespace kd {

// Runs every group in order, reports, and returns the exit status.
int runSelfTest(SelfTestContext& context, std::ostream& out, std::ostream& err);

}  // namespace kd
