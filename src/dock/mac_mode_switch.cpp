#include "dock/mac_mode_switch.h"

#include <optional>
#include <utility>

#include "display/modes.h"

namespace kd {

bool switchMacMode(DisplayServices& displays, Scheduler& scheduler,
                   const VirtualDisplayIdentity& virtualDisplay, std::int32_t modeId,
                   std::function<void(bool switched)> done) {
    const auto panel = builtInDisplay(displays, virtualDisplay);
    std::optional<DisplayMode> chosen;
    for (const auto& mode : displayModes(displays, panel, true)) {
        if (mode.id == modeId) {
            chosen = mode;
            break;
        }
    }
    if (!chosen) return false;
    scheduler.post(Queue::background(), [&scheduler, &displays, panel, mode = *chosen,
                                         done = std::move(done)]() mutable {
        const bool switched = setMode(displays, mode, panel);
        scheduler.post(Queue::main(), [done = std::move(done), switched] { done(switched); });
    });
    return true;
}

}  // namespace kd
