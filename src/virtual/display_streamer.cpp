#include "virtual/display_streamer.h"

#include <libyuv/convert_from_argb.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <mutex>
#include <optional>
#include <thread>

#include "virtual/capture_geometry.h"
#include "virtual/jpeg_encoder.h"

namespace kd {

namespace {

// The server counts a frame older than four seconds as no picture at all.
constexpr auto kStillResendInterval = std::chrono::seconds(1);

Image bitmapOf(const CapturedFrame& frame) {
    Image image;
    image.width = frame.width;
    image.height = frame.height;
    image.rgba.resize(static_cast<std::size_t>(frame.width) * frame.height * 4);
    // libyuv names formats by 32-bit word: its "ARGB" is BGRA in memory and
    // its "ABGR" is RGBA.
    libyuv::ARGBToABGR(frame.pixels, static_cast<int>(frame.stride), image.rgba.data(),
                       frame.width * 4, frame.width, frame.height);
    for (std::size_t alpha = 3; alpha < image.rgba.size(); alpha += 4) image.rgba[alpha] = 255;
    return image;
}

}  // namespace

// One start and what stops it; the capture's callbacks hold the session
// they were made for, so a stopped session delivers nothing even while its
// stream winds down.
struct DisplayStreamer::Session {
    std::atomic<bool> stopped{false};
};

struct DisplayStreamer::Core : std::enable_shared_from_this<Core> {
    Core(Scheduler& scheduler, ScreenCapture& capture)
        : scheduler(scheduler), capture(capture), queue(Queue::serial(kCaptureQueueLabel)) {}

    // Runs `call` unless `session` has stopped, under the lock `stop` waits on.
    template <typename Call>
    void deliver(const Session& session, Call&& call) {
        std::lock_guard lock(deliveryMutex);
        if (session.stopped.load()) return;
        delivering.store(std::this_thread::get_id());
        call();
        delivering.store(std::thread::id());
    }

    void stopDelivering(Session& session) {
        session.stopped.store(true);
        if (delivering.load() == std::this_thread::get_id()) return;
        std::lock_guard lock(deliveryMutex);
    }

    // Posts `message` to the main queue, for the owner unless stopped by then.
    void reportError(const std::shared_ptr<Session>& session, std::string message) {
        scheduler.post(Queue::main(),
                       [self = shared_from_this(), session, message = std::move(message)] {
                           if (!session->stopped.load() && self->onError) self->onError(message);
                       });
    }

    // On the capture queue from here on.
    void startCapture(const std::shared_ptr<Session>& session, DisplayID display, int fps,
                      int maxWidth) {
        if (session->stopped.load()) return;
        const auto displays = capture.capturableDisplays();
        const auto found = std::find_if(displays.begin(), displays.end(),
                                        [&](const auto& d) { return d.id == display; });
        if (found == displays.end()) {
            reportError(session, "That display is not capturable");
            return;
        }
        const auto geometry = captureGeometry(found->pixelWidth, found->pixelHeight, maxWidth, fps);
        std::weak_ptr<Core> weak = weak_from_this();
        CaptureCallbacks callbacks;
        callbacks.onFrame = [weak, session](const CapturedFrame& frame) {
            if (const auto self = weak.lock()) self->sample(*session, frame);
        };
        callbacks.onStopped = [weak, session](const std::string& error) {
            if (const auto self = weak.lock())
                self->reportError(session, "Capture stopped: " + error);
        };
        auto started =
            capture.start({display, geometry.width, geometry.height, geometry.minimumFrameInterval},
                          queue, std::move(callbacks));
        if (auto* error = std::get_if<std::string>(&started)) {
            // Nothing to keep: a stream that never started is not held.
            reportError(session, "Capture failed: " + *error);
            return;
        }
        auto& stream = std::get<std::unique_ptr<CaptureStream>>(started);
        if (session->stopped.load()) {
            stream->stop();
            return;
        }
        lastFrame.reset();
        held = std::move(stream);  // stops any stream of an earlier start
    }

    void sample(const Session& session, const CapturedFrame& frame) {
        if (session.stopped.load()) return;
        if (frame.status != FrameStatus::complete || frame.pixels == nullptr) {
            resendStillFrame(session);
            return;
        }
        if (onImage) {
            Image image = bitmapOf(frame);
            deliver(session, [&] { onImage(std::move(image)); });
        }
        if (onFrame) {
            auto bytes = encoder.encode(frame.pixels, frame.width, frame.height, frame.stride,
                                        quality.load());
            if (!bytes) return;
            lastFrame = JpegFrame{std::move(bytes), frame.width, frame.height};
            lastSent = scheduler.now();
            deliver(session, [&] { onFrame(*lastFrame); });
        }
    }

    void resendStillFrame(const Session& session) {
        if (!onFrame || !lastFrame || scheduler.now() - lastSent < kStillResendInterval) return;
        lastSent = scheduler.now();
        deliver(session, [&] { onFrame(*lastFrame); });
    }

    void release() {
        onFrame = nullptr;
        onImage = nullptr;
        lastFrame.reset();
        if (held) held->stop();
        held.reset();
    }

    Scheduler& scheduler;
    ScreenCapture& capture;
    const Queue queue;
    std::atomic<double> quality{kDefaultQuality};

    std::mutex deliveryMutex;
    std::atomic<std::thread::id> delivering{};

    // Main queue only.
    std::function<void(const std::string&)> onError;

    // Capture queue only.
    std::function<void(const JpegFrame&)> onFrame;
    std::function<void(Image)> onImage;
    std::unique_ptr<CaptureStream> held;
    JpegEncoder encoder;
    std::optional<JpegFrame> lastFrame;
    Scheduler::TimePoint lastSent{};
};

DisplayStreamer::DisplayStreamer(Scheduler& scheduler, ScreenCapture& capture)
    : core_(std::make_shared<Core>(scheduler, capture)) {}

DisplayStreamer::~DisplayStreamer() {
    stop();
}

void DisplayStreamer::setOnFrame(std::function<void(const JpegFrame&)> onFrame) {
    core_->scheduler.post(core_->queue, [core = core_, onFrame = std::move(onFrame)]() mutable {
        core->onFrame = std::move(onFrame);
    });
}

void DisplayStreamer::setOnImage(std::function<void(Image)> onImage) {
    core_->scheduler.post(core_->queue, [core = core_, onImage = std::move(onImage)]() mutable {
        core->onImage = std::move(onImage);
    });
}

void DisplayStreamer::setOnError(std::function<void(const std::string&)> onError) {
    core_->onError = std::move(onError);
}

void DisplayStreamer::setQuality(double quality) {
    core_->quality.store(quality);
}

void DisplayStreamer::start(DisplayID display, int fps, int maxWidth) {
    // A second start replaces the first capture; its stream goes when the
    // new one is held.
    if (session_) core_->stopDelivering(*session_);
    auto session = std::make_shared<Session>();
    session_ = session;
    core_->scheduler.post(core_->queue, [core = core_, session, display, fps, maxWidth] {
        core->startCapture(session, display, fps, maxWidth);
    });
}

void DisplayStreamer::stop() {
    if (!session_) return;
    core_->stopDelivering(*session_);
    session_.reset();
    // The callbacks and the stream belong to the capture queue, where a
    // frame may be using them right now.
    core_->scheduler.post(core_->queue, [core = core_] { core->release(); });
}

}  // namespace kd
