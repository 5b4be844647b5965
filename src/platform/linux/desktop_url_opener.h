#pragma once

// Addresses opened on a Linux desktop. Web pages go to xdg-open. The Mac's
// settings addresses ("x-apple.systempreferences:…") open the desktop's own
// settings program at its displays or privacy page, where a known one is
// installed; otherwise one line on standard error says what could not be
// opened, so the user still learns where to look.
//
// Contract: as the port says. The program runs detached: nothing waits for
// it, and it leaves no zombie behind.

#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "platform/url_opener.h"

namespace kd {

enum class SettingsPane { displays, privacy };

// The pane a settings address asks for; none for any other address.
std::optional<SettingsPane> settingsPane(const std::string& url);

// The program and arguments that open `url` here, the first whose program
// `installed` says is there; none when nothing can.
std::optional<std::vector<std::string>> openCommand(
    const std::string& url, const std::function<bool(const std::string&)>& installed);

class DesktopUrlOpener final : public UrlOpener {
  public:
    // `err` must outlive the opener.
    explicit DesktopUrlOpener(std::ostream& err) : err_(err) {}
    void open(const std::string& url) override;

  private:
    std::ostream& err_;
};

// The full path of `program` on PATH; empty when it is not there.
std::string findOnPath(const std::string& program);

}  // namespace kd
