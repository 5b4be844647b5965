#include "platform/linux/pulse_sound_player.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <future>
#include <string>
#include <vector>

#include "platform/linux/sound_file.h"
#include "platform/linux/thread_scheduler.h"
#include "platform/unique_fd.h"
#include "support/test_main_loop.h"
#include "transport/child_process.h"

namespace kd {
namespace {

using namespace std::chrono_literals;

// Long enough for a loaded sanitizer run; reached only when a test fails.
constexpr auto kPlaybackPatience = 30s;

const std::string kResources = KD_RESOURCES_DIR;

// Becomes ready once every sound handed to the player so far has been dealt with.
std::future<void> soundsDealtWith(Scheduler& scheduler) {
    auto reached = std::make_shared<std::promise<void>>();
    scheduler.post(Queue::serial(kSoundQueueLabel), [reached] { reached->set_value(); });
    return reached->get_future();
}

bool ready(const std::future<void>& future, std::chrono::milliseconds wait = kPlaybackPatience) {
    return future.wait_for(wait) == std::future_status::ready;
}

TEST(PulseSoundPlayerTest, WithoutAnAudioServerSoundsAreDroppedQuietlyAndTheCallerNeverWaits) {
    TestMainLoop loop(kPlaybackPatience);
    ThreadScheduler scheduler(loop.poster());
    const auto nowhere = std::filesystem::path(::testing::TempDir()) / "kd-no-audio-server";
    PulseSoundPlayer player(scheduler, kResources + "/SystemSounds",
                            "unix:" + (nowhere / "native").string());

    // Hold the sound queue: a caller that waited for its sound would not get
    // past play until the hold gave up.
    std::promise<void> release;
    auto released = release.get_future().share();
    std::atomic<bool> held = true;
    scheduler.post(Queue::serial(kSoundQueueLabel), [released, &held] {
        held = released.wait_for(kPlaybackPatience) != std::future_status::ready;
    });

    ::testing::internal::CaptureStderr();
    for (int round = 0; round < 3; ++round) {
        player.playFile(kResources + "/Sounds/WaterBubble.aiff");
        player.playSystemSound("Submarine");
        player.playFile(kResources + "/Sounds/NoSuchSound.aiff");
    }
    EXPECT_TRUE(held);
    release.set_value();
    const bool finished = ready(soundsDealtWith(scheduler));
    const auto printed = ::testing::internal::GetCapturedStderr();
    EXPECT_TRUE(finished);
    EXPECT_EQ(printed, "");
}

TEST(PulseSoundPlayerTest, LengthsComeFromTheFilesAndAlertSoundsFromTheirFolder) {
    TestMainLoop loop(kPlaybackPatience);
    ThreadScheduler scheduler(loop.poster());
    PulseSoundPlayer player(scheduler, kResources + "/SystemSounds");
    EXPECT_EQ(player.fileDuration(kResources + "/Sounds/DeepDrop.aiff"), 0.65);
    EXPECT_EQ(player.systemSoundDuration("Submarine"), 0.8);
    // A missing file, a file that is no sound, and names that are not alert sounds.
    EXPECT_EQ(player.fileDuration(kResources + "/Sounds/NoSuchSound.aiff"), std::nullopt);
    EXPECT_EQ(player.fileDuration(kResources + "/scenarios/default.json"), std::nullopt);
    for (const auto* name : {"Basso", "", "../Sounds/DeepDrop", "Submarine.aiff"}) {
        EXPECT_EQ(player.systemSoundDuration(name), std::nullopt) << name;
    }
}

// A PulseAudio server of the test's own, whose only output is a pipe the
// test reads: what a sound sends to the server comes out there, sample by sample.
class PrivateAudioServerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!std::filesystem::exists(kServer)) GTEST_SKIP() << kServer << " is not installed";
        folder_ = std::filesystem::path(::testing::TempDir()) /
                  ("kd-audio-server-" + std::to_string(::getpid()));
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_ / "home");
        std::filesystem::create_directories(folder_ / "runtime");
        std::ofstream(folder_ / "server.pa")
            << "load-module module-pipe-sink sink_name=out format=s16le rate=44100 channels=1 "
            << "file=" << (folder_ / "out.raw").string() << "\n"
            << "load-module module-native-protocol-unix auth-anonymous=1 socket="
            << socket().string() << "\n";
        // Daemonized, the server is ready when the command returns.
        const auto started = server({"-n", "-F", (folder_ / "server.pa").string(),
                                     "--daemonize=yes", "--exit-idle-time=-1", "--system=no",
                                     "--log-target=file:" + (folder_ / "server.log").string()});
        ASSERT_EQ(started.exitCode, 0) << started.err;
        running_ = true;
        output_ = UniqueFd(::open((folder_ / "out.raw").c_str(), O_RDONLY | O_NONBLOCK));
        ASSERT_TRUE(output_.isOpen());
    }

    void TearDown() override {
        if (running_) stopServer();
        std::filesystem::remove_all(folder_);
    }

    std::filesystem::path socket() const { return folder_ / "native"; }

    // What the server plays from its first sample that is not silence on,
    // read until the player is `done` and `count` samples are in, or the
    // patience runs out.
    std::vector<std::int16_t> heard(const std::future<void>& done, std::size_t count) {
        std::vector<std::int16_t> samples;
        const auto deadline = std::chrono::steady_clock::now() + kPlaybackPatience;
        while (!(samples.size() >= count && ready(done, 0ms)) &&
               std::chrono::steady_clock::now() < deadline) {
            pollfd readable{output_.get(), POLLIN, 0};
            if (::poll(&readable, 1, 100) <= 0) continue;
            std::int16_t chunk[4096];
            const auto got = ::read(output_.get(), chunk, sizeof chunk);
            // The pipe sink writes whole samples.
            for (ssize_t i = 0; i < got / static_cast<ssize_t>(sizeof(std::int16_t)); ++i) {
                if (!samples.empty() || chunk[i] != 0) samples.push_back(chunk[i]);
            }
        }
        return samples;
    }

    // Leaves the output unread and shrinks its pipe to one page, so the
    // server stalls as soon as a sound has filled it.
    void stopListening() { ASSERT_GE(::fcntl(output_.get(), F_SETPIPE_SZ, 4096), 0); }

  private:
    static constexpr const char* kServer = "/usr/bin/pulseaudio";

    ChildRun server(const std::vector<std::string>& arguments) const {
        return runChild(kServer, arguments, kPlaybackPatience, ErrorStream::capture,
                        {{"HOME", (folder_ / "home").string()},
                         {"XDG_RUNTIME_DIR", (folder_ / "runtime").string()}});
    }

    // The server removes its own files as it ends, so the folder goes only
    // after the server has gone.
    void stopServer() const {
        pid_t pid = 0;
        std::ifstream(folder_ / "runtime" / "pulse" / "pid") >> pid;
        ASSERT_GT(pid, 0);
        const UniqueFd server(static_cast<int>(::syscall(SYS_pidfd_open, pid, 0)));
        ASSERT_TRUE(server.isOpen());
        ASSERT_EQ(::kill(pid, SIGTERM), 0);
        pollfd ended{server.get(), POLLIN, 0};
        EXPECT_EQ(::poll(&ended, 1, static_cast<int>(kPlaybackPatience / 1ms)), 1);
    }

    std::filesystem::path folder_;
    bool running_ = false;
    UniqueFd output_;
};

TEST_F(PrivateAudioServerTest, TheWholeSoundReachesTheServerUnchanged) {
    TestMainLoop loop(kPlaybackPatience);
    ThreadScheduler scheduler(loop.poster());
    PulseSoundPlayer player(scheduler, kResources + "/SystemSounds", "unix:" + socket().string());
    const auto sound = readSoundFile(kResources + "/SystemSounds/Submarine.aiff");
    ASSERT_TRUE(sound);
    // The server may start a little late, so silence can come first; the
    // sound's own faded start is silence too.
    const auto& samples = sound->interleaved;
    const auto start =
        std::find_if(samples.begin(), samples.end(), [](std::int16_t s) { return s != 0; });
    const std::vector<std::int16_t> expected(start, samples.end());

    player.playSystemSound("Submarine");
    const auto done = soundsDealtWith(scheduler);
    const auto out = heard(done, expected.size());
    ASSERT_TRUE(ready(done, 0ms));
    ASSERT_GE(out.size(), expected.size()) << "the sound was cut off";
    // Silence may follow, while the stream closes.
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), out.begin()));
}

TEST_F(PrivateAudioServerTest,
       AServerThatStopsTakingSoundHoldsTheQueueNoLongerThanTheSoundAndItsGrace) {
    TestMainLoop loop(kPlaybackPatience);
    ThreadScheduler scheduler(loop.poster());
    PulseSoundPlayer player(scheduler, kResources + "/SystemSounds", "unix:" + socket().string());
    stopListening();
    const auto started = std::chrono::steady_clock::now();
    player.playSystemSound("Submarine");  // 0.8 s, more than the pipe holds
    ASSERT_TRUE(ready(soundsDealtWith(scheduler)));
    // Given up at the deadline, not finished: the server really stalled.
    EXPECT_GE(std::chrono::steady_clock::now() - started, 800ms + kSoundGrace);
}

}  // namespace
}  // namespace kd
