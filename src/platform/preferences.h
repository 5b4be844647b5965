#pragma once

// The user-defaults store: one domain of typed values by key.
//
// Contract:
// - Every member may be called from any thread; reads are served from memory.
// - A write is visible to every later read at once, from any thread.
// - A writable domain makes each change durable before the call returns, and
//   a crash at any moment leaves either the old or the new contents, never a
//   mix and never fewer other keys.
// - A read-only domain (for example the system's Sidecar settings) offers
//   only the reader half.

#include <optional>
#include <string>

#include "platform/pref_value.h"

namespace kd {

class PreferenceReader {
  public:
    virtual ~PreferenceReader() = default;
    virtual std::optional<PrefValue> value(const std::string& key) const = 0;

    std::optional<bool> boolValue(const std::string& key) const;
    std::optional<std::int64_t> integer(const std::string& key) const;
    std::optional<double> number(const std::string& key) const;  // double or integer
    std::optional<std::string> text(const std::string& key) const;
    std::optional<PrefData> data(const std::string& key) const;
    std::optional<PrefArray> array(const std::string& key) const;
    std::optional<PrefDict> dictionary(const std::string& key) const;
};

class Preferences : public PreferenceReader {
  public:
    virtual void set(const std::string& key, PrefValue value) = 0;
    virtual void remove(const std::string& key) = 0;
};

}  // namespace kd
