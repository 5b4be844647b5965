#pragma once

// The simulated window server's virtual display classes. A display that
// accepts its settings becomes a new online screen of the simulated window
// server, extending the desktop to the right, with one mode per offered mode
// (with HiDPI at twice its pixels, where that fits the descriptor's
// maximum); the system runs the mode with the most pixels it can drive.
// Releasing the display unplugs its screen.
//
// The scenario's "virtualDisplays" can refuse every creation, reject every
// settings, limit the pixels the system can drive (a display with no mode
// within the limit never comes online), and
// tear every display down some time after it came online. The controls
// below do the same once, from a test.
//
// With a pixel source, each display that comes online gets an X screen of
// its pixel size, stopped when the display goes.
//
// Thread-safe; the displays follow the port's contract.

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/scheduler.h"
#include "platform/sim/scenario.h"
#include "platform/sim/sim_pixel_source.h"
#include "platform/sim/sim_window_server.h"
#include "platform/virtual_displays.h"

namespace kd {

// One thing that happened to a virtual display, for tests to read.
struct SimVirtualDisplayEvent {
    enum class Kind { created, refused, settingsAccepted, settingsRejected, released, terminated };
    Kind kind;
    DisplayID display = 0;                // 0 for a refusal
    VirtualDisplayDescriptor descriptor;  // created and refused; without its handler
    VirtualDisplaySettings settings;      // settings accepted or rejected
};

class SimVirtualDisplays : public VirtualDisplays {
  public:
    SimVirtualDisplays(ScenarioVirtualDisplays behaviour, SimWindowServer& windowServer,
                       Scheduler& scheduler);
    ~SimVirtualDisplays() override;

    std::unique_ptr<VirtualDisplay> create(const VirtualDisplayDescriptor& descriptor) override;

    // Simulator controls.
    // The system tears the display down on its own: its screen goes, and its
    // termination handler is called on its queue. A display released
    // meanwhile is still told, as the system's teardown can lag behind.
    void terminate(DisplayID display);
    void refuseNextCreate();
    void rejectNextSettings();
    std::vector<SimVirtualDisplayEvent> history() const;
    // Where displays coming online from now on get their pixels.
    void usePixelSource(std::shared_ptr<SimPixelSource> source);
    // The X screen showing the display; nothing without one.
    std::optional<std::string> xDisplayName(DisplayID display) const;

  private:
    class Display;
    struct Entry;
    struct State;
    // What `terminate` does, also when the scenario's time is up.
    static void tearDown(State& state, DisplayID display);
    std::shared_ptr<State> state_;
};

}  // namespace kd
