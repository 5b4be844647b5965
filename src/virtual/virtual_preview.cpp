#include "virtual/virtual_preview.h"

#include <algorithm>
#include <cmath>

namespace kd {

int previewFrameWidth(double widthPoints, double backingScale) {
    const int scale =
        backingScale > 0 ? std::max(1, static_cast<int>(std::lround(backingScale))) : 2;
    const auto points = static_cast<long long>(std::max(0.0, widthPoints));
    return static_cast<int>(std::min<long long>(points * scale, kPreviewMaxWidth));
}

VirtualPreview::VirtualPreview(Platform& platform, PreviewWindows& windows, BrowserShare& share)
    : platform_(platform), windows_(windows), share_(share) {}

VirtualPreview::~VirtualPreview() {
    close();
}

void VirtualPreview::show(std::optional<DisplayID> display) {
    if (!display) return;
    if (!platform_.screenCapturePermission.allowed()) {
        share_.requestPermission();
        return;
    }
    close();

    const auto showing = ++showing_;
    const auto weak = std::weak_ptr(self_);
    window_ = windows_.open(kPreviewTitle, kPreviewWidth, kPreviewHeight, [weak, showing] {
        const auto self = weak.lock();
        if (self && (*self)->showing_ == showing) (*self)->close();
    });
    auto streamer = std::make_unique<DisplayStreamer>(platform_.scheduler, platform_.screenCapture);
    streamer->setOnImage([weak, showing, &scheduler = platform_.scheduler](Image image) {
        scheduler.post(Queue::main(), [weak, showing, image = std::move(image)]() mutable {
            const auto self = weak.lock();
            if (self && (*self)->showing_ == showing && (*self)->window_)
                (*self)->window_->show(std::move(image));
        });
    });
    // A capture that fails closes the preview without a word.
    streamer->setOnError([weak, showing](const std::string&) {
        const auto self = weak.lock();
        if (self && (*self)->showing_ == showing) (*self)->close();
    });
    streamer->start(*display, kPreviewFps,
                    previewFrameWidth(window_->widthPoints(), window_->backingScale()));
    streamer_ = std::move(streamer);
    open.set(true);
}

void VirtualPreview::close() {
    ++showing_;
    streamer_.reset();
    window_.reset();
    open.set(false);
}

void VirtualPreview::toggle(std::optional<DisplayID> display) {
    if (open.get()) {
        close();
    } else {
        show(display);
    }
}

}  // namespace kd
