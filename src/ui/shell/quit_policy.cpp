#include "ui/shell/quit_policy.h"

namespace kd {

bool quitsAfterLastWindowClosed(const WindowlessWork& work) {
    for (const auto* running : {&work.virtualDisplayRunning, &work.browserShareRunning,
                                &work.conversationAwaitingReply}) {
        if (*running && (*running)()) return false;
    }
    return true;
}

}  // namespace kd
