#include "platform/linux/x11_screen_capture.h"

#include <tuple>

#include "platform/linux/x_screen_grabber.h"
#include "platform/paced_capture_stream.h"

namespace kd {

namespace {

class XFrameSource : public FrameSource {
  public:
    XFrameSource(std::unique_ptr<XScreenGrabber> grabber, int width, int height,
                 FrameScaler::Filter filter)
        : grabber_(std::move(grabber)), width_(width), height_(height), scaler_(filter) {}

    std::optional<std::string> nextFrame(const Deliver& deliver) override {
        auto grabbed = grabber_->grab();
        if (auto* error = std::get_if<std::string>(&grabbed)) return *error;
        const auto& grab = std::get<XScreenGrabber::Grab>(grabbed);
        CapturedFrame frame{grab.changed ? FrameStatus::complete : FrameStatus::idle, grab.pixels,
                            grabber_->width(), grabber_->height(), grab.stride};
        if (width_ != grabber_->width() || height_ != grabber_->height()) {
            // An unchanged screen keeps the last scaled picture.
            if (grab.changed || scaled_ == nullptr) {
                scaled_ = scaler_.scale(grab.pixels, grabber_->width(), grabber_->height(),
                                        grab.stride, width_, height_);
                if (scaled_ == nullptr) return std::string("The picture could not be scaled.");
            }
            frame = {frame.status, scaled_, width_, height_, scaler_.stride()};
        }
        deliver(frame);
        return std::nullopt;
    }

  private:
    std::unique_ptr<XScreenGrabber> grabber_;
    const int width_;
    const int height_;
    FrameScaler scaler_;
    const std::uint8_t* scaled_ = nullptr;
};

}  // namespace

X11ScreenCapture::X11ScreenCapture(Scheduler& scheduler, XDisplayOf xDisplayOf,
                                   ScreenCapture& fallback, FrameScaler::Filter filter)
    : scheduler_(scheduler),
      xDisplayOf_(std::move(xDisplayOf)),
      fallback_(fallback),
      filter_(filter) {}

std::vector<CapturableDisplay> X11ScreenCapture::capturableDisplays() {
    auto displays = fallback_.capturableDisplays();
    for (auto& display : displays) {
        const auto name = xDisplayOf_(display.id);
        if (!name) continue;
        if (const auto size = XScreenGrabber::screenSize(*name)) {
            std::tie(display.pixelWidth, display.pixelHeight) = *size;
        }
    }
    return displays;
}

CaptureStart X11ScreenCapture::start(const CaptureConfiguration& configuration, const Queue& queue,
                                     CaptureCallbacks callbacks) {
    const auto name = xDisplayOf_(configuration.display);
    if (!name) return fallback_.start(configuration, queue, std::move(callbacks));
    if (configuration.width <= 0 || configuration.height <= 0) {
        return std::string("The capture size is empty.");
    }
    auto opened = XScreenGrabber::open(*name);
    if (auto* error = std::get_if<std::string>(&opened)) return std::move(*error);
    return startPacedCaptureStream(
        scheduler_, queue, configuration.minimumFrameInterval,
        std::make_unique<XFrameSource>(std::move(std::get<0>(opened)), configuration.width,
                                       configuration.height, filter_),
        std::move(callbacks));
}

}  // namespace kd
