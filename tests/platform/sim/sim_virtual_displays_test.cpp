#include <gtest/gtest.h>

#include <algorithm>

#include "platform/sim/sim_mac.h"
#include "platform/sim/virtual_scheduler.h"

namespace kd {
namespace {

using namespace std::chrono_literals;
using Kind = SimVirtualDisplayEvent::Kind;

VirtualDisplayDescriptor descriptor(std::uint32_t maxWide, std::uint32_t maxHigh,
                                    std::function<void()> onTermination = {}) {
    VirtualDisplayDescriptor d;
    d.name = "Kelvane Display";
    d.maxPixelsWide = maxWide;
    d.maxPixelsHigh = maxHigh;
    d.terminationHandler = std::move(onTermination);
    return d;
}

const VirtualDisplaySettings kRetina1080{
    true, {{960, 540, 60}, {1920, 1080, 60}, {1632, 918, 60}, {1440, 810, 60}}};

std::vector<Kind> kinds(const std::vector<SimVirtualDisplayEvent>& history) {
    std::vector<Kind> out;
    for (const auto& event : history) out.push_back(event.kind);
    return out;
}

bool online(const SimWindowServer& server, DisplayID id) {
    const auto ids = server.onlineDisplayList(16);
    return std::find(ids.begin(), ids.end(), id) != ids.end();
}

// Records what it opens and which of its screens are still open.
class RecordingPixelSource : public SimPixelSource {
  public:
    class Screen : public SimPixelScreen {
      public:
        Screen(RecordingPixelSource& source, std::string name)
            : source_(source), name_(std::move(name)) {}
        ~Screen() override { --source_.open_; }
        const std::string& xDisplayName() const override { return name_; }

      private:
        RecordingPixelSource& source_;
        std::string name_;
    };

    std::unique_ptr<SimPixelScreen> open(int pixelWidth, int pixelHeight) override {
        sizes.emplace_back(pixelWidth, pixelHeight);
        ++open_;
        return std::make_unique<Screen>(*this, ":" + std::to_string(40 + sizes.size()));
    }
    int openCount() const { return open_; }

    std::vector<std::pair<int, int>> sizes;

  private:
    int open_ = 0;
};

class SimVirtualDisplaysTest : public ::testing::Test {
  protected:
    explicit SimVirtualDisplaysTest(Scenario scenario = defaultScenario())
        : mac(std::move(scenario), scheduler) {}

    VirtualScheduler scheduler;
    SimMac mac;
    SimWindowServer& server = mac.windowServer();
    SimVirtualDisplays& displays = mac.virtualDisplays();
};

TEST_F(SimVirtualDisplaysTest, ADisplayComesOnlineWithItsSettingsAndGoesWhenReleased) {
    auto display = displays.create(descriptor(3840, 2160));
    ASSERT_NE(display, nullptr);
    const auto id = display->displayID();
    EXPECT_FALSE(online(server, id)) << "nothing is online before the settings";
    ASSERT_TRUE(display->applySettings(kRetina1080));
    ASSERT_TRUE(online(server, id));
    const auto mode = server.currentMode(id);
    ASSERT_TRUE(mode.has_value());
    EXPECT_EQ(std::tuple(mode->width, mode->height, mode->pixelWidth, mode->pixelHeight),
              std::tuple(1920, 1080, 3840, 2160))
        << "the system runs the mode with the most pixels";
    EXPECT_EQ(server.bounds(id), (Rect{1512, 0, 1920, 1080})) << "right of the panel";
    EXPECT_EQ(server.allDisplayModes(id, true)->size(), 4u);

    display.reset();
    EXPECT_FALSE(online(server, id));
    EXPECT_EQ(kinds(displays.history()),
              (std::vector{Kind::created, Kind::settingsAccepted, Kind::released}));
    EXPECT_EQ(displays.history()[1].settings, kRetina1080);
}

TEST_F(SimVirtualDisplaysTest, RefusalAndRejectionAreOneOffControls) {
    displays.refuseNextCreate();
    EXPECT_EQ(displays.create(descriptor(1920, 1080)), nullptr);
    auto display = displays.create(descriptor(1920, 1080));
    ASSERT_NE(display, nullptr);
    displays.rejectNextSettings();
    EXPECT_FALSE(display->applySettings({false, {{1920, 1080, 60}}}));
    EXPECT_FALSE(online(server, display->displayID()));
    EXPECT_TRUE(display->applySettings({false, {{1920, 1080, 60}}}));
    EXPECT_FALSE(display->applySettings({false, {{1280, 720, 60}}}))
        << "an online display takes its settings once";
    EXPECT_EQ(kinds(displays.history()),
              (std::vector{Kind::refused, Kind::created, Kind::settingsRejected,
                           Kind::settingsAccepted, Kind::settingsRejected}));
}

TEST_F(SimVirtualDisplaysTest, AReservedIDIsNeverGivenToAnotherScreen) {
    auto display = displays.create(descriptor(1920, 1080));
    const auto other = server.plugInExtending(ScenarioDisplay{
        0, "DELL", false, {}, true, 0, {{1, 1920, 1080, 1920, 1080, 60}}, 1, std::nullopt, {}});
    EXPECT_NE(other, display->displayID());
}

TEST_F(SimVirtualDisplaysTest, ATerminationCallsTheHandlerOnItsQueueOnceEvenAfterRelease) {
    std::vector<bool> handled;  // whether each call ran on the main queue
    auto display = displays.create(
        descriptor(1920, 1080, [&] { handled.push_back(scheduler.onMainThread()); }));
    ASSERT_TRUE(display->applySettings({false, {{1920, 1080, 60}}}));
    const auto id = display->displayID();
    displays.terminate(id);
    EXPECT_FALSE(online(server, id)) << "the screen goes at once";
    displays.terminate(id);
    scheduler.runUntilIdle();
    EXPECT_EQ(handled, std::vector{false});

    auto late = displays.create(descriptor(1920, 1080, [&] { handled.push_back(true); }));
    ASSERT_TRUE(late->applySettings({false, {{1920, 1080, 60}}}));
    const auto lateID = late->displayID();
    late.reset();
    displays.terminate(lateID);
    scheduler.runUntilIdle();
    EXPECT_EQ(handled.size(), 2u) << "the system's teardown can lag behind a release";
}

TEST_F(SimVirtualDisplaysTest, EachOnlineDisplayHasAPixelScreenOfItsPixelSize) {
    const auto source = std::make_shared<RecordingPixelSource>();
    displays.usePixelSource(source);
    auto refused = displays.create(descriptor(3840, 2160));
    displays.rejectNextSettings();
    EXPECT_FALSE(refused->applySettings(kRetina1080));
    EXPECT_EQ(source->openCount(), 0) << "no screen for a display that never came online";

    auto display = displays.create(descriptor(3840, 2160));
    ASSERT_TRUE(display->applySettings(kRetina1080));
    EXPECT_EQ(source->sizes, (std::vector<std::pair<int, int>>{{3840, 2160}}));
    EXPECT_EQ(displays.xDisplayName(display->displayID()), ":41");
    display.reset();
    EXPECT_EQ(source->openCount(), 0);

    auto terminated = displays.create(descriptor(1920, 1080));
    ASSERT_TRUE(terminated->applySettings({false, {{1920, 1080, 60}}}));
    displays.terminate(terminated->displayID());
    EXPECT_EQ(source->openCount(), 0);
    EXPECT_EQ(displays.xDisplayName(terminated->displayID()), std::nullopt);
}

Scenario limitedScenario() {
    auto scenario = defaultScenario();
    scenario.virtualDisplays.largestPixels = 3840 * 2160;
    scenario.virtualDisplays.terminateAfterMs = 5000;
    return scenario;
}

class LimitedVirtualDisplaysTest : public SimVirtualDisplaysTest {
  protected:
    LimitedVirtualDisplaysTest() : SimVirtualDisplaysTest(limitedScenario()) {}
};

TEST_F(LimitedVirtualDisplaysTest, TheSystemRunsTheLargestModeItCanDriveOrNothing) {
    auto display = displays.create(descriptor(7680, 4320));
    ASSERT_TRUE(display->applySettings({true, {{1920, 1080, 60}, {3840, 2160, 60}}}));
    const auto mode = server.currentMode(display->displayID());
    ASSERT_TRUE(mode.has_value());
    EXPECT_EQ(std::tuple(mode->width, mode->pixelWidth, mode->pixelHeight),
              std::tuple(1920, 3840, 2160));

    auto tooLarge = displays.create(descriptor(7680, 4320));
    EXPECT_TRUE(tooLarge->applySettings({true, {{4096, 2304, 60}}}));
    EXPECT_FALSE(online(server, tooLarge->displayID()));
}

TEST_F(LimitedVirtualDisplaysTest, TheScenarioTearsEveryDisplayDownInItsTime) {
    int terminations = 0;
    auto display = displays.create(descriptor(1920, 1080, [&] { ++terminations; }));
    ASSERT_TRUE(display->applySettings({false, {{1920, 1080, 60}}}));
    scheduler.advance(4999ms);
    EXPECT_TRUE(online(server, display->displayID()));
    scheduler.advance(1ms);
    EXPECT_FALSE(online(server, display->displayID()));
    EXPECT_EQ(terminations, 1);

    auto released = displays.create(descriptor(1920, 1080, [&] { ++terminations; }));
    ASSERT_TRUE(released->applySettings({false, {{1920, 1080, 60}}}));
    released.reset();
    scheduler.advance(10s);
    EXPECT_EQ(terminations, 1) << "a display let go in time is not torn down";
}

}  // namespace
}  // namespace kd
