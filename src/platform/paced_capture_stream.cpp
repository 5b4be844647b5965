#include "platform/paced_capture_stream.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

namespace kd {

namespace {

class Pacer : public std::enable_shared_from_this<Pacer> {
  public:
    Pacer(Scheduler& scheduler, Queue queue, Scheduler::Duration interval,
          std::unique_ptr<FrameSource> source, CaptureCallbacks callbacks)
        : scheduler_(scheduler),
          queue_(std::move(queue)),
          interval_(interval),
          source_(std::move(source)),
          callbacks_(std::move(callbacks)) {}

    void begin() {
        std::lock_guard lock(timerMutex_);
        nextDue_ = scheduler_.now();
        scheduleLocked();
    }

    void stop() {
        {
            std::lock_guard lock(timerMutex_);
            stopped_ = true;
            timer_.cancel();
        }
        // A tick on another thread may be inside a callback: wait it out, so
        // that nothing runs once stop returns. From inside a callback the
        // tick itself lets go of the source when it ends.
        if (delivering_.load() == std::this_thread::get_id()) return;
        std::lock_guard lock(tickMutex_);
        source_.reset();
    }

  private:
    void scheduleLocked() {
        if (stopped_) return;
        const auto now = scheduler_.now();
        if (nextDue_ < now) nextDue_ = now;  // a slow tick skips frames, never bunches them
        std::weak_ptr<Pacer> weak = weak_from_this();
        timer_ = scheduler_.after(nextDue_ - now, queue_, [weak] {
            if (const auto self = weak.lock()) self->tick();
        });
        nextDue_ += interval_;
    }

    void tick() {
        {
            std::lock_guard tickLock(tickMutex_);
            if (stopped_.load() || !source_) return;
            delivering_.store(std::this_thread::get_id());
            const auto error = source_->nextFrame([this](const CapturedFrame& frame) {
                if (!stopped_.load() && callbacks_.onFrame) callbacks_.onFrame(frame);
            });
            if (error && !stopped_.exchange(true) && callbacks_.onStopped) {
                callbacks_.onStopped(*error);
            }
            delivering_.store(std::thread::id());
            if (stopped_.load()) {
                source_.reset();
                return;
            }
        }
        std::lock_guard lock(timerMutex_);
        scheduleLocked();
    }

    Scheduler& scheduler_;
    const Queue queue_;
    const Scheduler::Duration interval_;

    std::mutex tickMutex_;  // held while a tick runs
    std::unique_ptr<FrameSource> source_;
    const CaptureCallbacks callbacks_;
    std::atomic<std::thread::id> delivering_{};

    std::atomic<bool> stopped_{false};
    std::mutex timerMutex_;
    TimerHandle timer_;
    Scheduler::TimePoint nextDue_{};
};

class PacedCaptureStream : public CaptureStream {
  public:
    explicit PacedCaptureStream(std::shared_ptr<Pacer> pacer) : pacer_(std::move(pacer)) {}
    ~PacedCaptureStream() override { pacer_->stop(); }
    void stop() override { pacer_->stop(); }

  private:
    std::shared_ptr<Pacer> pacer_;
};

}  // namespace

std::unique_ptr<CaptureStream> startPacedCaptureStream(Scheduler& scheduler, const Queue& queue,
                                                       Scheduler::Duration interval,
                                                       std::unique_ptr<FrameSource> source,
                                                       CaptureCallbacks callbacks) {
    // No screen changes faster than this; a shorter interval would only spin.
    constexpr Scheduler::Duration kShortest = std::chrono::milliseconds(1);
    auto pacer = std::make_shared<Pacer>(scheduler, queue, std::max(interval, kShortest),
                                         std::move(source), std::move(callbacks));
    pacer->begin();
    return std::make_unique<PacedCaptureStream>(std::move(pacer));
}

}  // namespace kd
