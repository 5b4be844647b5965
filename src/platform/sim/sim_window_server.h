#pragma once

// The simulated window server: the scenario's displays, their modes and
// mirroring, configuration transactions and reconfiguration callbacks.
// Thread-safe; callbacks are posted to the main queue of the scheduler.

#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <vector>

#include "platform/display_services.h"
#include "platform/scheduler.h"
#include "platform/sim/scenario.h"

namespace kd {

class SimWindowServer : public DisplayServices {
  public:
    SimWindowServer(std::vector<ScenarioDisplay> displays, Scheduler& scheduler,
                    ScenarioConfiguration refusals = {});
    ~SimWindowServer() override;

    std::vector<DisplayID> onlineDisplayList(std::size_t capacity) const override;
    bool isBuiltin(DisplayID display) const override;
    DisplayID mirrorsDisplay(DisplayID display) const override;
    Rect bounds(DisplayID display) const override;
    std::optional<std::vector<SystemDisplayMode>> allDisplayModes(
        DisplayID display, bool includeDuplicateLowResolution) const override;
    std::optional<SystemDisplayMode> currentMode(DisplayID display) const override;

    DisplayError beginConfiguration(ConfigRef* config) override;
    DisplayError configureOrigin(ConfigRef config, DisplayID display, std::int32_t x,
                                 std::int32_t y) override;
    DisplayError configureMirror(ConfigRef config, DisplayID display, DisplayID master) override;
    DisplayError configureMode(ConfigRef config, DisplayID display,
                               const SystemDisplayMode& mode) override;
    DisplayError completeConfiguration(ConfigRef config, ConfigureOption option) override;
    DisplayError cancelConfiguration(ConfigRef config) override;

    std::unique_ptr<ReconfigurationToken> registerReconfigurationCallback(
        ReconfigurationCallback callback) override;

    std::vector<ScreenInfo> screens() const override;

    // Simulator controls.
    void plugIn(ScenarioDisplay display);
    // Plugs a screen in under a free id, extending the desktop to the right
    // of every active screen, its top level with the main display's; its id
    // and origin are chosen here. Returns the id.
    DisplayID plugInExtending(ScenarioDisplay display);
    // An id no display has had or been promised, kept for a display that
    // comes online later through `plugInExtendingAs`.
    DisplayID reserveDisplayID();
    // `plugInExtending` under an id from `reserveDisplayID`.
    void plugInExtendingAs(DisplayID id, ScenarioDisplay display);
    void unplug(DisplayID display);
    // What the system does on its own, outside any transaction: `master` 0
    // ends mirroring.
    void setMirror(DisplayID display, DisplayID master);
    void failNextBegin(DisplayError error);
    void failNextComplete(DisplayError error);
    // Transactions begun and neither completed nor cancelled.
    std::size_t openTransactionCount() const;
    std::optional<ScenarioHDR> hdr(DisplayID display) const;
    void setHDREnabled(DisplayID display, bool enabled);

    static constexpr DisplayError kIllegalArgument = 1001;   // kCGErrorIllegalArgument
    static constexpr DisplayError kInvalidOperation = 1010;  // kCGErrorInvalidOperation

  private:
    struct Change {
        DisplayID display;
        std::optional<std::pair<std::int32_t, std::int32_t>> origin;
        std::optional<DisplayID> mirrorOf;
        std::optional<ScenarioMode> mode;
    };
    struct CallbackRegistry {
        std::mutex mutex;
        std::map<std::uint64_t, ReconfigurationCallback> callbacks;
        std::uint64_t nextID = 1;
    };
    class Token;

    const ScenarioDisplay* find(DisplayID display) const;
    ScenarioDisplay* find(DisplayID display);
    DisplayID freeID() const;
    // Online under `id`, or a free id when none is given; answers the id.
    DisplayID extend(std::optional<DisplayID> id, ScenarioDisplay display);
    DisplayError stage(ConfigRef config, Change change);
    // What the change did, as reconfiguration flags.
    ReconfigurationFlags apply(const Change& change);
    void notify(const std::map<DisplayID, ReconfigurationFlags>& changed);

    mutable std::mutex mutex_;
    Scheduler& scheduler_;
    std::vector<ScenarioDisplay> displays_;
    std::map<ConfigRef, std::vector<Change>> open_;
    ConfigRef nextConfig_ = 1;
    DisplayID highestReserved_ = 0;
    const ScenarioConfiguration refusals_;  // every transaction, for the whole run
    DisplayError failBegin_ = 0;            // the next transaction only
    DisplayError failComplete_ = 0;
    // Shared with posted deliveries and tokens, which may outlive the server.
    std::shared_ptr<CallbackRegistry> registry_ = std::make_shared<CallbackRegistry>();
};

}  // namespace kd
