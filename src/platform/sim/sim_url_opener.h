#pragma once

// Records the addresses the application asks the system to open.

#include <string>
#include <vector>

#include "platform/url_opener.h"

namespace kd {

class SimUrlOpener final : public UrlOpener {
  public:
    void open(const std::string& url) override { opened_.push_back(url); }
    const std::vector<std::string>& opened() const { return opened_; }

  private:
    std::vector<std::string> opened_;
};

}  // namespace kd
