#include "update/relaunch_cleanup.h"

#include <deque>
#include <memory>
#include <utility>

namespace kd {

namespace {

// Lives, held by its own scheduled steps, until `done` has been called.
class HandBack : public std::enable_shared_from_this<HandBack> {
  public:
    HandBack(Scheduler& scheduler, DockState* dock, VirtualDisplayHost* virtualDisplay,
             std::function<void()> done)
        : scheduler_(scheduler),
          dock_(dock),
          virtualDisplay_(virtualDisplay),
          done_(std::move(done)) {
        if (dock_ == nullptr) return;
        for (const auto& device : dock_->scanner.devices.get()) {
            if (dock_->connectedKeys.get().contains(device.id)) devices_.push_back(device);
        }
        waitsLeft_ = devices_.size() + 1;
    }

    void nextStep() {
        scheduler_.post(Queue::main(), [self = shared_from_this()] { self->step(); });
    }

  private:
    void step() {
        if (dock_ == nullptr || devices_.empty()) return finish();
        if (dock_->busy.get()) return waitForIdle();
        const Device device = devices_.front();
        devices_.pop_front();
        // An earlier disconnect, or the user, may have ended it meanwhile.
        if (!dock_->connectedKeys.get().contains(device.id)) return nextStep();
        dock_->disconnect(device);
        if (dock_->busy.get()) return waitForIdle();
        nextStep();
    }

    void waitForIdle() {
        if (waitsLeft_ == 0) return giveUp();
        --waitsLeft_;
        // Told inside the controller's change of `busy`: the next disconnect
        // goes through the main queue, after that change is complete.
        idle_ = dock_->busy.subscribe([this](bool busy) {
            if (!busy) stopWaiting();
        });
        patience_ = scheduler_.after(kDisconnectPatience, Queue::main(),
                                     [self = shared_from_this()] { self->waitedTooLong(); });
    }

    void stopWaiting() {
        // The patience timer may hold the last reference to this.
        const auto self = shared_from_this();
        idle_.reset();
        patience_.cancel();
        nextStep();
    }

    void waitedTooLong() {
        idle_.reset();
        dock_->releaseStuckBusy();
        if (dock_->busy.get()) return giveUp();
        nextStep();
    }

    void giveUp() {
        devices_.clear();
        nextStep();
    }

    void finish() {
        if (virtualDisplay_ != nullptr && virtualDisplay_->isRunning()) virtualDisplay_->stop();
        if (const auto done = std::exchange(done_, nullptr)) done();
    }

    Scheduler& scheduler_;
    DockState* const dock_;
    VirtualDisplayHost* const virtualDisplay_;
    std::function<void()> done_;
    std::deque<Device> devices_;
    std::size_t waitsLeft_ = 0;
    Published<bool>::Subscription idle_;
    TimerHandle patience_;
};

}  // namespace

void handBackBeforeRelaunch(Scheduler& scheduler, DockState* dock,
                            VirtualDisplayHost* virtualDisplay, std::function<void()> done) {
    std::make_shared<HandBack>(scheduler, dock, virtualDisplay, std::move(done))->nextStep();
}

}  // namespace kd
