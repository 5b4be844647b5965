#include "selftest/scratch_keys.h"

namespace kd {

ScratchKeys::ScratchKeys(Preferences& defaults, std::vector<std::string> keys)
    : defaults_(defaults), keys_(std::move(keys)) {
    clear();
}

ScratchKeys::~ScratchKeys() {
    clear();
}

void ScratchKeys::clear() {
    for (const auto& key : keys_) defaults_.remove(key);
}

}  // namespace kd
