#pragma once

// A read-only preference domain held in memory, standing in for the system's
// Sidecar settings, whose contents a scenario gives.

#include <nlohmann/json_fwd.hpp>
#include <utility>

#include "platform/preferences.h"

namespace kd {

class SimReadOnlyPreferences : public PreferenceReader {
  public:
    explicit SimReadOnlyPreferences(PrefDict values) : values_(std::move(values)) {}

    // Never changes after construction, so no lock is needed from any thread.
    std::optional<PrefValue> value(const std::string& key) const override;

  private:
    const PrefDict values_;
};

// Plain JSON as a scenario writes it: bool, integer, floating-point number,
// string, array and object map to their natural counterparts (2.0 stays a
// double, 2 an integer). JSON cannot express data. Throws
// std::invalid_argument for null and for integers beyond the 64-bit signed
// range.
PrefValue prefValueFromPlainJson(const nlohmann::json& json);

}  // namespace kd
