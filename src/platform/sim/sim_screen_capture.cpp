#include "platform/sim/sim_screen_capture.h"

#include <algorithm>

#include "platform/paced_capture_stream.h"
#include "platform/sim/generated_picture.h"

namespace kd {

struct SimScreenCapture::Controls {
    mutable std::mutex mutex;
    bool refused = false;
    std::optional<std::string> nextStartError;
    bool still = false;
    std::string endError;
    std::size_t endRound = 0;  // bumped by each endStreams
    std::size_t running = 0;
};

namespace {

class GeneratedPictureSource : public FrameSource {
  public:
    GeneratedPictureSource(int width, int height,
                           std::shared_ptr<SimScreenCapture::Controls> controls)
        : picture_(width, height), controls_(std::move(controls)) {
        std::lock_guard lock(controls_->mutex);
        endRound_ = controls_->endRound;
        ++controls_->running;
    }
    ~GeneratedPictureSource() override {
        std::lock_guard lock(controls_->mutex);
        --controls_->running;
    }

    std::optional<std::string> nextFrame(const Deliver& deliver) override {
        bool still = false;
        {
            std::lock_guard lock(controls_->mutex);
            if (controls_->endRound != endRound_) return controls_->endError;
            still = controls_->still;
        }
        const bool idle = still && delivered_;
        if (!idle) picture_.advance();
        delivered_ = true;
        deliver(CapturedFrame{idle ? FrameStatus::idle : FrameStatus::complete, picture_.pixels(),
                              picture_.width(), picture_.height(), picture_.stride()});
        return std::nullopt;
    }

  private:
    GeneratedPicture picture_;
    std::shared_ptr<SimScreenCapture::Controls> controls_;
    std::size_t endRound_ = 0;
    bool delivered_ = false;
};

}  // namespace

SimScreenCapture::SimScreenCapture(Scheduler& scheduler, const DisplayServices& windowServer)
    : scheduler_(scheduler), windowServer_(windowServer), controls_(std::make_shared<Controls>()) {}

std::vector<CapturableDisplay> SimScreenCapture::capturableDisplays() {
    {
        std::lock_guard lock(controls_->mutex);
        if (controls_->refused) return {};
    }
    std::vector<CapturableDisplay> displays;
    for (const DisplayID id : windowServer_.onlineDisplayList(64)) {
        if (const auto mode = windowServer_.currentMode(id)) {
            displays.push_back({id, mode->pixelWidth, mode->pixelHeight});
        }
    }
    return displays;
}

CaptureStart SimScreenCapture::start(const CaptureConfiguration& configuration, const Queue& queue,
                                     CaptureCallbacks callbacks) {
    {
        std::lock_guard lock(controls_->mutex);
        if (controls_->nextStartError) {
            std::string error = std::move(*controls_->nextStartError);
            controls_->nextStartError.reset();
            return error;
        }
    }
    const auto displays = capturableDisplays();
    if (std::none_of(displays.begin(), displays.end(),
                     [&](const auto& d) { return d.id == configuration.display; })) {
        return std::string("The display is not available for capture.");
    }
    if (configuration.width <= 0 || configuration.height <= 0) {
        return std::string("The capture size is empty.");
    }
    return startPacedCaptureStream(scheduler_, queue, configuration.minimumFrameInterval,
                                   std::make_unique<GeneratedPictureSource>(
                                       configuration.width, configuration.height, controls_),
                                   std::move(callbacks));
}

void SimScreenCapture::refuseCapture(bool refuse) {
    std::lock_guard lock(controls_->mutex);
    controls_->refused = refuse;
}

void SimScreenCapture::failNextStart(std::string error) {
    std::lock_guard lock(controls_->mutex);
    controls_->nextStartError = std::move(error);
}

void SimScreenCapture::holdStill(bool still) {
    std::lock_guard lock(controls_->mutex);
    controls_->still = still;
}

void SimScreenCapture::endStreams(std::string error) {
    std::lock_guard lock(controls_->mutex);
    controls_->endError = std::move(error);
    ++controls_->endRound;
}

std::size_t SimScreenCapture::runningStreamCount() const {
    std::lock_guard lock(controls_->mutex);
    return controls_->running;
}

}  // namespace kd
