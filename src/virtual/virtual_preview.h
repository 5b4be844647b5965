#pragma once

// A window on this Mac's own screen showing the virtual display live, since
// the virtual display has no screen of its own to look at.
//
// Contract:
// - Main thread only: every member is called there and `open` changes there.
// - Pictures come from a display streamer's queue and are shown on the main
//   queue, only in the window of the showing that asked for them.
// - The ports and the browser share (which carries the permission message)
//   must outlive the preview.

#include <cstdint>
#include <memory>
#include <optional>

#include "model/published.h"
#include "platform/platform.h"
#include "platform/preview_window.h"
#include "virtual/browser_share.h"
#include "virtual/display_streamer.h"

namespace kd {

inline constexpr const char* kPreviewTitle = "Virtual Display";
inline constexpr int kPreviewWidth = 960;
inline constexpr int kPreviewHeight = 540;
inline constexpr int kPreviewFps = 30;
inline constexpr int kPreviewMaxWidth = 2560;

// The widest frame worth capturing for a window `widthPoints` wide on a
// screen of `backingScale` (0 when the window is on no screen).
int previewFrameWidth(double widthPoints, double backingScale);

class VirtualPreview {
  public:
    VirtualPreview(Platform& platform, PreviewWindows& windows, BrowserShare& share);
    ~VirtualPreview();
    VirtualPreview(const VirtualPreview&) = delete;
    VirtualPreview& operator=(const VirtualPreview&) = delete;

    Published<bool> open{false};

    void show(std::optional<DisplayID> display);
    void close();
    void toggle(std::optional<DisplayID> display);

  private:
    Platform& platform_;
    PreviewWindows& windows_;
    BrowserShare& share_;
    std::unique_ptr<PreviewWindow> window_;
    std::unique_ptr<DisplayStreamer> streamer_;
    std::uint64_t showing_ = 0;  // which showing the window belongs to
    std::shared_ptr<VirtualPreview*> self_ = std::make_shared<VirtualPreview*>(this);
};

}  // namespace kd
