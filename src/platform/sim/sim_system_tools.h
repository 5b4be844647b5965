#pragma once

// The simulated Mac's command-line tools and kernel variables. Each tool is
// answered by a handler registered under its macOS path, with the text the
// real tool prints for this Mac's scenario; a path without a handler answers
// as a tool that cannot be started (empty output).
//
// Thread-safe: handlers are registered before the tools are handed out and
// only read afterwards; each handler reads values fixed at construction or
// guards its own state.

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/sim/scenario.h"
#include "platform/system_tools.h"

namespace kd {

class SimSystemTools : public SystemTools {
  public:
    using Handler = std::function<std::string(const std::vector<std::string>& arguments)>;

    explicit SimSystemTools(const ScenarioMac& mac);

    std::string run(const std::string& executable, const std::vector<std::string>& arguments,
                    std::chrono::steady_clock::duration timeout) const override;
    std::optional<std::string> kernelValue(const std::string& name) const override;
    std::string localHostName() const override;

    // Simulator control, before the tools are shared with other threads:
    // answers `executable` with `handler`, replacing an earlier one.
    void answer(const std::string& executable, Handler handler);
    // The handler answering `executable`, empty when there is none: for a
    // part of the simulator that answers some of a tool's questions and
    // hands the others on.
    Handler handler(const std::string& executable) const;

  private:
    std::map<std::string, Handler> tools_;
    std::map<std::string, std::string> kernel_;
    std::string hostName_;
};

// What "scutil --nc list" prints with one VPN service in the set.
std::string networkConnectionList(bool vpnConnected);
// What "defaults read …/com.apple.nat NAT" prints.
std::string internetSharingSettings(bool enabled);
// What "ioreg -ar -d1 -k product-name" prints: an XML property list of one
// dictionary whose "product-name" is the NUL-terminated name as data.
std::string productNameRegistry(const std::string& productName);

}  // namespace kd
