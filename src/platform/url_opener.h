#pragma once

// Opens an address with the system: a web page, or a pane of the system's
// settings ("x-apple.systempreferences:…").
//
// Contract: called on the main thread; returns at once, whether or not
// anything could open the address.

#include <string>

namespace kd {

class UrlOpener {
  public:
    virtual ~UrlOpener() = default;
    virtual void open(const std::string& url) = 0;
};

}  // namespace kd
