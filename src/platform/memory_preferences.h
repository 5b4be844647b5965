#pragma once

// A user-defaults domain that lives only in memory: it starts empty, reaches
// no file, and is gone with its owner. For work that must try settings out
// without touching the user's own.

#include <map>
#include <mutex>
#include <string>

#include "platform/preferences.h"

namespace kd {

class MemoryPreferences final : public Preferences {
  public:
    std::optional<PrefValue> value(const std::string& key) const override;
    void set(const std::string& key, PrefValue value) override;
    void remove(const std::string& key) override;

  private:
    mutable std::mutex mutex_;
    std::map<std::string, PrefValue> values_;
};

}  // namespace kd
