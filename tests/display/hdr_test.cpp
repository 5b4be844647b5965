#include <gtest/gtest.h>

#include "display/hdr.h"
#include "platform/sim/sim_mac.h"
#include "platform/sim/virtual_scheduler.h"

namespace kd {
namespace {

constexpr DisplayID kHDRPanel = 1;  // HDR-capable in the default scenario

const char* const kSupports = "CoreDisplay_Display_SupportsHDRMode";
const char* const kIsEnabled = "CoreDisplay_Display_IsHDRModeEnabled";
const char* const kSetEnabled = "CoreDisplay_Display_SetHDRModeEnabled";

// A simulated Mac with the scenario changed by `edit`, and its CoreDisplay handle.
class SimHDRMac {
  public:
    explicit SimHDRMac(const std::function<void(Scenario&)>& edit = {})
        : mac_(edited(edit), scheduler_), coreDisplay_(mac_.frameworks().openCoreDisplay()) {}

    SimWindowServer& server() { return mac_.windowServer(); }
    const std::shared_ptr<CoreDisplayFramework>& coreDisplay() const { return coreDisplay_; }

  private:
    static Scenario edited(const std::function<void(Scenario&)>& edit) {
        auto scenario = defaultScenario();
        if (edit) edit(scenario);
        return scenario;
    }

    VirtualScheduler scheduler_;
    SimMac mac_;
    std::shared_ptr<CoreDisplayFramework> coreDisplay_;
};

TEST(HDRTest, StateComesFromTheActiveScreensHeadroom) {
    struct Case {
        double potential;
        double current;
        HDRState state;
    };
    const Case cases[] = {
        {16.0, 1.0, {true, false, 1.0}},
        {16.0, 4.5, {true, true, 4.5}},
        {1.01, 1.01, {false, false, 1.01}},
        {1.02, 1.0, {true, false, 1.0}},
    };
    for (const auto& c : cases) {
        SimHDRMac mac([&](Scenario& s) {
            s.displays[0].hdr.potentialHeadroom = c.potential;
            s.displays[0].hdr.headroom = c.current;
        });
        EXPECT_EQ(hdrState(mac.server(), kHDRPanel), c.state) << c.potential << " / " << c.current;
    }
}

TEST(HDRTest, NoStateWithoutAnActiveScreen) {
    SimHDRMac mac([](Scenario& s) {
        ScenarioDisplay hidden;
        hidden.id = 7;
        hidden.active = false;
        hidden.mirrorOf = kHDRPanel;
        hidden.hdr = {true, true, 8.0, 8.0};
        s.displays.push_back(hidden);
    });
    EXPECT_FALSE(hdrState(mac.server(), std::nullopt));
    EXPECT_FALSE(hdrState(mac.server(), 42));
    EXPECT_FALSE(hdrState(mac.server(), 7)) << "a hidden mirror is not in the screen list";
}

TEST(HDRTest, TheSwitchAnswersOnlyWhenEveryPieceIsThere) {
    struct Case {
        const char* name;
        std::function<void(Scenario&)> edit;
        std::optional<DisplayID> display;
        bool supported;
        bool enabled;
        bool switchOn;
        bool switchOff;
    };
    const Case cases[] = {
        {"everything there", {}, kHDRPanel, true, false, true, true},
        {"the screen refuses HDR", [](Scenario& s) { s.displays[0].hdr.supported = false; },
         kHDRPanel, false, false, false, true},
        {"no display", {}, std::nullopt, false, false, false, false},
        {"no framework", [](Scenario& s) { s.coreDisplay.present = false; }, kHDRPanel, false,
         false, false, false},
        {"no support symbol", [](Scenario& s) { s.coreDisplay.missingSymbols = {kSupports}; },
         kHDRPanel, false, false, true, true},
        {"no switch symbol", [](Scenario& s) { s.coreDisplay.missingSymbols = {kSetEnabled}; },
         kHDRPanel, true, false, false, false},
        // Off was asked for, and off is what cannot be read back.
        {"no read-back symbol", [](Scenario& s) { s.coreDisplay.missingSymbols = {kIsEnabled}; },
         kHDRPanel, true, false, false, true},
    };
    for (const auto& c : cases) {
        SimHDRMac mac(c.edit);
        EXPECT_EQ(hdrModeSupported(mac.coreDisplay(), c.display), c.supported) << c.name;
        EXPECT_EQ(hdrModeEnabled(mac.coreDisplay(), c.display), c.enabled) << c.name;
        EXPECT_EQ(setHDRMode(mac.coreDisplay(), true, c.display), c.switchOn) << c.name;
        EXPECT_EQ(setHDRMode(mac.coreDisplay(), false, c.display), c.switchOff) << c.name;
    }
}

}  // namespace
}  // namespace kd
