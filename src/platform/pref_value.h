#pragma once

// A typed user-defaults value: Boolean, integer, double, text, data, array or
// dictionary, nested freely. Plain value; copies are independent.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace kd {

class PrefValue;
using PrefData = std::vector<std::uint8_t>;
using PrefArray = std::vector<PrefValue>;
using PrefDict = std::map<std::string, PrefValue>;

class PrefValue {
  public:
    using Storage =
        std::variant<bool, std::int64_t, double, std::string, PrefData, PrefArray, PrefDict>;

    PrefValue(bool v) : storage_(v) {}
    PrefValue(int v) : storage_(std::int64_t{v}) {}
    PrefValue(std::int64_t v) : storage_(v) {}
    PrefValue(double v) : storage_(v) {}
    PrefValue(const char* v) : storage_(std::string(v)) {}
    PrefValue(std::string v) : storage_(std::move(v)) {}
    PrefValue(PrefData v) : storage_(std::move(v)) {}
    PrefValue(PrefArray v) : storage_(std::move(v)) {}
    PrefValue(PrefDict v) : storage_(std::move(v)) {}

    const Storage& storage() const { return storage_; }

    const bool* asBool() const { return std::get_if<bool>(&storage_); }
    const std::int64_t* asInteger() const { return std::get_if<std::int64_t>(&storage_); }
    const double* asDouble() const { return std::get_if<double>(&storage_); }
    const std::string* asText() const { return std::get_if<std::string>(&storage_); }
    const PrefData* asData() const { return std::get_if<PrefData>(&storage_); }
    const PrefArray* asArray() const { return std::get_if<PrefArray>(&storage_); }
    const PrefDict* asDict() const { return std::get_if<PrefDict>(&storage_); }

    friend bool operator==(const PrefValue&, const PrefValue&) = default;

  private:
    Storage storage_;
};

}  // namespace kd
