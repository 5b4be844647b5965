#pragma once

// The private SkyLight framework, opened once at start-up. A null handle means
// the framework is missing. Symbols are looked up by name on every use: an
// empty function means the symbol is not there, and nothing may be called.
//
// Contract: lookups and calls may come from any thread and answer at once.

#include <cstdint>
#include <functional>

namespace kd {

class SkyLightFramework {
  public:
    using MainConnectionID = std::function<std::int32_t()>;
    // Writes the raw policy through the pointer; 0 is success.
    using GetTVConnectDefaultPolicy = std::function<std::int32_t(std::int32_t, std::int32_t*)>;
    using SetTVConnectDefaultPolicy = std::function<std::int32_t(std::int32_t, std::int32_t)>;

    virtual ~SkyLightFramework() = default;
    virtual MainConnectionID mainConnectionID() const = 0;  // "SLSMainConnectionID"
    virtual GetTVConnectDefaultPolicy getTVConnectDefaultPolicy() const = 0;  // "SLSGet…"
    virtual SetTVConnectDefaultPolicy setTVConnectDefaultPolicy() const = 0;  // "SLSSet…"
};

}  // namespace kd
