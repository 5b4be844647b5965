#pragma once

// The owner of at most one virtual display: it keeps the chosen size,
// refresh rate and Retina setting across launches, creates and removes the
// display, says what the system really brought up, places the new screen on
// the remembered side of the Mac, and re-creates a running display when a
// setting changes, bringing the browser share and the preview back with it.
//
// Contract:
// - Main thread only: every member is called there, every published field
//   changes there, and subscribers are told there. The windows read every
//   published field and set only `width`, `height`, `refresh` and `hidpi`
//   (within the editors' bounds); each change is stored at once and
//   re-creates a running display.
// - Every delayed step holds the host weakly and carries the `generation` it
//   was scheduled under; a stop or a newer start makes it do nothing.
// - The display's termination handler arrives on the virtual display queue
//   and moves to the main queue at once; it acts only on the display it was
//   made for.
// - The ports must outlive the host, and the host must outlive everything
//   that reads `identity()`.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "display/virtual_display_identity.h"
#include "dock/sounds.h"
#include "model/published.h"
#include "platform/platform.h"
#include "virtual/virtual_companions.h"
#include "virtual/virtual_geometry.h"
#include "virtual/virtual_settings.h"

namespace kd {

inline constexpr const char* kVirtualDisplayName = "Kelvane Display";
inline constexpr std::uint32_t kVirtualDisplayProductID = 0x5344;
inline constexpr std::uint32_t kVirtualDisplayVendorID = 0x1209;

inline constexpr const char* kVirtualRefusedText = "macOS refused to create the virtual display";
inline constexpr const char* kVirtualRejectedModesText =
    "The display was created but rejected its modes";
inline constexpr const char* kVirtualTooLargeForRetinaText =
    "That size is too large with Retina on \u2014 turn Retina off or pick a smaller size";
inline constexpr const char* kVirtualTooLargeText = "macOS could not bring up a display that large";

class VirtualDisplayHost {
  public:
    // Reads the settings and this installation's serial number (drawn with
    // `draw` the first time).
    explicit VirtualDisplayHost(Platform& platform, const SerialDraw& draw = drawSerial);
    ~VirtualDisplayHost();
    VirtualDisplayHost(const VirtualDisplayHost&) = delete;
    VirtualDisplayHost& operator=(const VirtualDisplayHost&) = delete;

    Published<std::optional<DisplayID>> displayID;
    // What the system runs, such as "1920×1080 · Retina 3840×2160"; empty
    // when not running.
    Published<std::string> actual;
    // The last failure; empty when there is none.
    Published<std::string> status;
    Published<int> width;
    Published<int> height;
    Published<int> refresh;
    Published<bool> hidpi;

    // The running display's id, for code on any thread.
    const VirtualDisplayIdentity& identity() const { return identity_; }
    std::uint32_t installID() const { return installID_; }
    bool isRunning() const { return displayID.get().has_value(); }
    // Bumped by every start and every stop that does something.
    std::uint64_t generation() const { return generation_; }

    void setCompanions(VirtualCompanions companions);

    void start();
    void stop();
    void toggle();
    void restartIfRunning();
    std::vector<PixelSize> modeLadder() const;

    // 0.8 s after a start: the screen that never came online means the size
    // could not be driven; otherwise `actual` is read from it.
    void readBackMode(DisplayID display, std::uint64_t startGeneration);
    // Runs `then` on the main queue once `display` has left the online
    // screens, polling every 0.15 s and going ahead after about 2.25 s
    // regardless; 0.3 s later when there is no display to wait for.
    void waitForTeardown(std::optional<DisplayID> display, std::function<void()> then);

  private:
    using MainTask = std::function<void(VirtualDisplayHost&)>;

    VirtualDisplayDescriptor describe(std::uint64_t startGeneration) const;
    void place(DisplayID display, std::uint64_t startGeneration);
    void terminated(std::uint64_t startGeneration);
    void setDisplayID(std::optional<DisplayID> display);
    void storeAndRestart(const char* key, PrefValue value);
    std::string soundID() const;
    // Runs `task` on the main queue after `delay` if the host still lives.
    void onMainAfter(Scheduler::Duration delay, MainTask task) const;
    void pollTeardown(DisplayID display, double waited, std::function<void()> then);

    Platform& platform_;
    SoundContext sounds_;
    const std::uint32_t installID_;
    VirtualDisplayIdentity identity_;
    VirtualCompanions companions_;
    std::unique_ptr<VirtualDisplay> display_;
    std::uint64_t displayGeneration_ = 0;  // the start that created `display_`
    bool silentRestart_ = false;
    std::uint64_t generation_ = 0;
    std::vector<Published<int>::Subscription> sizeSubscriptions_;
    Published<bool>::Subscription hidpiSubscription_;
    // Scheduled tasks hold it weakly: they run only while the host lives.
    std::shared_ptr<VirtualDisplayHost*> self_ = std::make_shared<VirtualDisplayHost*>(this);
};

}  // namespace kd
