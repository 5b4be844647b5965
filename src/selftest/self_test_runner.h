#pragma once

#include <ostream>

#include "selftest/self_test_context.h"

namespace kd {

// Switches for the self-test's own tests; users have no way to set them.
struct SelfTestHooks {
    int forcedFailures = 0;  // that many extra checks fail at the end of the run
};

// Runs every group in order, reports, and returns the exit status.
int runSelfTest(SelfTestContext& context, std::ostream& out, std::ostream& err,
                const SelfTestHooks& hooks = {});

}  // namespace kd
