#include "dock/sounds.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <limits>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "platform/sim/sim_sound_player.h"
#include "platform/sim/virtual_scheduler.h"

namespace kd {
namespace {

using namespace std::chrono_literals;
using Kind = PlayedSound::Kind;
namespace fs = std::filesystem;

const std::string kShippedSounds = KD_RESOURCES_DIR "/Sounds";

struct Heard {
    Kind kind;
    std::string what;  // a file's name, or an alert sound's
    Scheduler::Duration after;
    bool onMain;

    friend bool operator==(const Heard&, const Heard&) = default;
};

void PrintTo(const Heard& heard, std::ostream* out) {
    *out << (heard.kind == Kind::file ? "file " : "alert ") << heard.what << " after "
         << std::chrono::duration<double>(heard.after).count() << " s"
         << (heard.onMain ? "" : " off the main queue");
}

// The simulated speaker, also noting for each sound heard whether it started
// on the main queue.
class ListeningPlayer : public SimSoundPlayer {
  public:
    explicit ListeningPlayer(const Scheduler& scheduler)
        : SimSoundPlayer(scheduler), scheduler_(scheduler), start_(scheduler.now()) {}

    void playFile(const std::string& path) override {
        SimSoundPlayer::playFile(path);
        note();
    }
    void playSystemSound(const std::string& name) override {
        SimSoundPlayer::playSystemSound(name);
        note();
    }

    std::vector<Heard> heard() const {
        std::vector<Heard> out;
        const auto sounds = played();
        for (std::size_t i = 0; i < sounds.size(); ++i) {
            const auto& sound = sounds[i];
            out.push_back(
                {sound.kind,
                 sound.kind == Kind::file ? fs::path(sound.what).filename().string() : sound.what,
                 sound.at - start_, onMain_[i]});
        }
        return out;
    }

  private:
    void note() {
        if (played().size() > onMain_.size()) onMain_.push_back(scheduler_.onMainThread());
    }

    const Scheduler& scheduler_;
    const Scheduler::TimePoint start_;
    std::vector<bool> onMain_;
};

Heard file(std::string name, Scheduler::Duration after = 0s) {
    return {Kind::file, std::move(name), after, true};
}
Heard alert(std::string name, Scheduler::Duration after = 0s) {
    return {Kind::systemSound, std::move(name), after, true};
}

TEST(SoundsTest, ConnectAndDisconnectPlayWhatEachChoiceNames) {
    struct Case {
        std::string id;
        std::vector<Heard> connect;
        std::vector<Heard> disconnect;
    };
    const std::vector<Case> cases{
        {"waterbubble", {file("WaterBubble.aiff")}, {file("WaterBubble_rev.aiff")}},
        {"deepdrop", {file("DeepDrop.aiff")}, {file("DeepDrop_rev.aiff")}},
        // A system choice goes away with a bundled file, not an alert sound.
        {"bottle", {alert("Bottle")}, {file("Bottle_rev.aiff")}},
        {"submarine", {alert("Submarine")}, {file("Submarine_rev.aiff")}},
        {"none", {}, {}},
        // Ids that are not exactly in the catalogue play nothing.
        {"WaterBubble", {}, {}},
        {"waterbubble ", {}, {}},
        {"Bottle", {}, {}},
        {"", {}, {}},
    };
    VirtualScheduler scheduler;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        ListeningPlayer connecting(scheduler);
        playConnectSound({connecting, kShippedSounds, scheduler}, c.id);
        EXPECT_EQ(connecting.heard(), c.connect);
        ListeningPlayer disconnecting(scheduler);
        playDisconnectSound({disconnecting, kShippedSounds, scheduler}, c.id);
        EXPECT_EQ(disconnecting.heard(), c.disconnect);
        EXPECT_EQ(scheduler.pendingCount(), 0u);
    }
}

class PreviewTest : public ::testing::Test {
  protected:
    void preview(const std::string& id, const std::string& folder = kShippedSounds) {
        previewSound({player_, folder, scheduler_}, id);
    }

    VirtualScheduler scheduler_;
    ListeningPlayer player_{scheduler_};
};

TEST_F(PreviewTest, DisconnectSoundFollowsOnTheMainQueueAQuarterSecondAfterTheFileEnds) {
    // WaterBubble.aiff is 18 522 frames at 44.1 kHz: 0.42 s.
    preview("waterbubble");
    scheduler_.advance(669ms);
    EXPECT_EQ(player_.heard(), std::vector{file("WaterBubble.aiff")});
    scheduler_.advance(1ms);
    EXPECT_EQ(player_.heard(),
              (std::vector{file("WaterBubble.aiff"), file("WaterBubble_rev.aiff", 670ms)}));
}

TEST_F(PreviewTest, SystemChoiceWaitsForTheAlertSoundsLength) {
    preview("bottle");  // the simulated Mac's Bottle lasts 0.55 s
    scheduler_.advance(5s);
    EXPECT_EQ(player_.heard(), (std::vector{alert("Bottle"), file("Bottle_rev.aiff", 800ms)}));
}

TEST_F(PreviewTest, PreviewsInQuickSuccessionEachPlayBothSounds) {
    preview("pop");
    scheduler_.advance(100ms);
    preview("droplet");  // 0.35 s
    scheduler_.advance(5s);
    EXPECT_EQ(player_.heard(),
              (std::vector{alert("Pop"), file("Droplet.aiff", 100ms), file("Pop_rev.aiff", 450ms),
                           file("Droplet_rev.aiff", 700ms)}));
}

TEST_F(PreviewTest, MissingConnectFileIsSilentAndTheDisconnectSoundComesAfterAQuarterSecond) {
    const auto folder = fs::path(::testing::TempDir()) / "kd-sounds-without-bloop";
    fs::remove_all(folder);
    fs::create_directories(folder);
    fs::copy_file(kShippedSounds + "/Bloop_rev.aiff", folder / "Bloop_rev.aiff");
    preview("bloop", folder.string());
    EXPECT_TRUE(player_.heard().empty());
    scheduler_.advance(5s);
    EXPECT_EQ(player_.heard(), std::vector{file("Bloop_rev.aiff", 250ms)});
    fs::remove_all(folder);
}

TEST_F(PreviewTest, SilentChoicesScheduleNothing) {
    for (const auto* id : {"none", "", "Droplet", "vanished"}) {
        preview(id);
    }
    EXPECT_EQ(scheduler_.pendingCount(), 0u);
    EXPECT_TRUE(player_.heard().empty());
}

// A speaker whose files last whatever the test says, as a broken header might.
class StatedLengthPlayer : public ListeningPlayer {
  public:
    StatedLengthPlayer(const Scheduler& scheduler, double seconds)
        : ListeningPlayer(scheduler), seconds_(seconds) {}
    std::optional<double> fileDuration(const std::string&) const override { return seconds_; }

  private:
    double seconds_;
};

TEST(PreviewLengthTest, ALengthNoSoundCouldHaveCountsAsUnreadable) {
    const struct {
        double stated;
        Scheduler::Duration disconnectAfter;
    } cases[] = {
        {1.5, 1750ms},
        {std::nan(""), 250ms},
        {-2.0, 250ms},
        {1e30, 250ms},  // would overflow the clock
        {std::numeric_limits<double>::infinity(), 250ms},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stated);
        VirtualScheduler scheduler;
        StatedLengthPlayer player(scheduler, c.stated);
        previewSound({player, kShippedSounds, scheduler}, "bloop");
        scheduler.advance(1h);
        EXPECT_EQ(player.heard(),
                  (std::vector{file("Bloop.aiff"), file("Bloop_rev.aiff", c.disconnectAfter)}));
    }
}

}  // namespace
}  // namespace kd
