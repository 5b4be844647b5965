#pragma once

// The private SidecarCore framework, opened once at start-up. A null handle
// means Sidecar is unavailable on this Mac and every Sidecar query answers
// "none". The services it offers are declared with the Sidecar transport.

namespace kd {

class SidecarCoreFramework {
  public:
    virtual ~SidecarCoreFramework() = default;
};

}  // namespace kd
