#pragma once

// The record of one self-test run: checks that passed, and the failures with
// their details, in the order they happened. A failing check never stops the run.

#include <functional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "selftest/describe.h"

namespace kd {

class SelfTest {
  public:
    using Detail = std::function<std::string()>;

    void check(std::string_view name, bool condition, const Detail& detail = {});

    template <typename Got, typename Want>
    void equal(std::string_view name, const Got& got, const Want& want) {
        if (got == want) {
            ++passed_;
        } else {
            fail(name, "got " + describe(got) + ", want " + describe(want));
        }
    }

    int passed() const { return passed_; }
    const std::vector<std::string>& failures() const { return failures_; }

    // Writes a "FAIL  " line per failure to `err` and the summary line to
    // `out`; returns the exit status, 0 when every check passed.
    int report(std::ostream& out, std::ostream& err) const;

  private:
    void fail(std::string_view name, const std::string& detail);

    int passed_ = 0;
    std::vector<std::string> failures_;
};

}  // namespace kd
