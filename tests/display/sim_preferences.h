#pragma once

// A working user-defaults domain held in memory, for tests that need a store
// but not a file.

#include <map>
#include <mutex>
#include <string>

#include "platform/preferences.h"

namespace kd {

class SimPreferences : public Preferences {
  public:
    std::optional<PrefValue> value(const std::string& key) const override {
        const std::lock_guard lock(mutex_);
        const auto found = values_.find(key);
        if (found == values_.end()) return std::nullopt;
        return found->second;
    }
    void set(const std::string& key, PrefValue value) override {
        const std::lock_guard lock(mutex_);
        values_.insert_or_assign(key, std::move(value));
    }
    void remove(const std::string& key) override {
        const std::lock_guard lock(mutex_);
        values_.erase(key);
    }

    std::map<std::string, PrefValue> all() const {
        const std::lock_guard lock(mutex_);
        return values_;
    }

  private:
    mutable std::mutex mutex_;
    std::map<std::string, PrefValue> values_;
};

}  // namespace kd
