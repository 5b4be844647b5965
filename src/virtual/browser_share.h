#pragma once

// Shares a display with any browser on the network: an MJPEG server on a
// fixed port behind a secret token, fed by a display streamer, with the
// addresses to open, the live viewer count, the screen-recording permission
// and a status line for the user.
//
// Contract:
// - Main thread only: every member is called there, every published field
//   changes there, and subscribers are told there. The windows read every
//   published field and set only `fps`, `maxWidth` and `quality`; each
//   change is stored at once. A new `fps` or `maxWidth` restarts a running
//   share on the same display; a new `quality` holds from the next frame.
// - Frames go from the streamer's queue straight to the server's; only
//   viewer counts and errors come to the main queue, and only while the
//   share lives.
// - The ports must outlive the share.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "model/published.h"
#include "platform/platform.h"
#include "server/mjpeg_server.h"
#include "virtual/display_streamer.h"

namespace kd {

inline constexpr std::uint16_t kSharePort = 8765;

inline constexpr const char* kShareNeedsPermissionText =
    "Kelvane Display needs permission to record the screen";
inline constexpr const char* kScreenRecordingSettingsAddress =
    "x-apple.systempreferences:com.apple.preference.security?Privacy_ScreenCapture";

// "Port 8765 is already used by another app — quit it and try again".
std::string portInUseText(std::uint16_t port);

class BrowserShare {
  public:
    // `port` is fixed for the share's life; tests pass 0 for any free port.
    explicit BrowserShare(Platform& platform, std::uint16_t port = kSharePort);
    // Stops sharing.
    ~BrowserShare();
    BrowserShare(const BrowserShare&) = delete;
    BrowserShare& operator=(const BrowserShare&) = delete;

    Published<bool> running{false};
    Published<int> viewers{0};
    Published<bool> needsPermission{false};
    Published<std::string> status;
    Published<int> fps;
    Published<int> maxWidth;
    Published<double> quality;

    // The port the addresses name: the fixed one, or the one bound when any
    // free port was asked for and the share has run.
    std::uint16_t port() const;
    // Drawn on first use, then the same for the life of the process's share.
    const std::string& token();
    std::optional<DisplayID> sharedDisplay() const { return sharedDisplay_; }

    void start(DisplayID display);
    void stop();
    // The first is the one to offer; the others are where the page can also
    // be opened. Empty without a network.
    std::vector<std::string> urls();
    // Asks the system for screen recording; the answer it gives now.
    bool requestPermission();
    void openPrivacySettings();

  private:
    void store(const char* key, PrefValue value, bool restart);

    Platform& platform_;
    std::uint16_t port_;
    std::optional<std::string> token_;
    std::optional<DisplayID> sharedDisplay_;
    MJPEGServer server_;
    std::unique_ptr<DisplayStreamer> streamer_;
    std::vector<Published<int>::Subscription> settingSubscriptions_;
    Published<double>::Subscription qualitySubscription_;
    // Tasks on the main queue hold it weakly: they run only while the share lives.
    std::shared_ptr<BrowserShare*> self_ = std::make_shared<BrowserShare*>(this);
};

}  // namespace kd
