#pragma once

// Whether closing the last window ends the application: not while work the
// user started keeps going without a window.

#include <functional>

namespace kd {

struct WindowlessWork {
    std::function<bool()> virtualDisplayRunning;
    std::function<bool()> browserShareRunning;
    std::function<bool()> conversationAwaitingReply;
};

// An empty member counts as not running.
bool quitsAfterLastWindowClosed(const WindowlessWork& work);

}  // namespace kd
