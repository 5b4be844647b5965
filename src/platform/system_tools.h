#pragma once

// The Mac's command-line tools ("/usr/sbin/scutil", "/usr/bin/defaults",
// "/usr/sbin/ioreg", ...) and its kernel variables.
//
// Contract:
// - `run` and `kernelValue` block, so call them off the main thread; they
//   may be called from several threads at once.
// - `run` takes the tool's macOS path and its arguments exactly as on a Mac
//   and returns its standard output, as `runTool` does: empty when the tool
//   cannot be started, fails to finish within `timeout`, or prints text that
//   is not UTF-8. Standard error is discarded; the exit status does not
//   matter.
// - `kernelValue` gives the raw bytes of a sysctl variable as the kernel
//   stores them (strings with their terminating NUL), nothing when unknown.
// - `localHostName` answers at once, from any thread: the Mac's own name as
//   it announces itself on the local network, empty when it has none.

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace kd {

class SystemTools {
  public:
    virtual ~SystemTools() = default;
    virtual std::string run(const std::string& executable,
                            const std::vector<std::string>& arguments,
                            std::chrono::steady_clock::duration timeout) const = 0;
    virtual std::optional<std::string> kernelValue(const std::string& name) const = 0;
    virtual std::string localHostName() const = 0;
};

}  // namespace kd
