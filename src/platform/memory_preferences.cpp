#include "platform/memory_preferences.h"

namespace kd {

std::optional<PrefValue> MemoryPreferences::value(const std::string& key) const {
    const std::lock_guard lock(mutex_);
    const auto found = values_.find(key);
    if (found == values_.end()) return std::nullopt;
    return found->second;
}

void MemoryPreferences::set(const std::string& key, PrefValue value) {
    const std::lock_guard lock(mutex_);
    values_.insert_or_assign(key, std::move(value));
}

void MemoryPreferences::remove(const std::string& key) {
    const std::lock_guard lock(mutex_);
    values_.erase(key);
}

}  // namespace kd
