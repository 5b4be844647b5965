#include "selftest/self_test.h"

namespace kd {

void SelfTest::check(std::string_view name, bool condition, const Detail& detail) {
    if (condition) {
        ++passed_;
        return;
    }
    fail(name, detail ? detail() : std::string());
}

void SelfTest::fail(std::string_view name, const std::string& detail) {
    std::string entry(name);
    if (!detail.empty()) entry += " \u2014 " + detail;
    failures_.push_back(std::move(entry));
}

int SelfTest::report(std::ostream& out, std::ostream& err) const {
    for (const auto& failure : failures_) err << "FAIL  " << failure << '\n';
    err.flush();
    const auto total = passed_ + static_cast<int>(failures_.size());
    if (failures_.empty()) {
        out << "self-test: " << total << " checks passed\n";
    } else {
        out << "self-test: " << failures_.size() << " of " << total << " checks FAILED\n";
    }
    out.flush();
    return failures_.empty() ? 0 : 1;
}

}  // namespace kd
