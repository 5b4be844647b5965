#pragma once

// The one way anything in the program waits or changes threads.
//
// Contract:
// - `post` and `after` may be called from any thread.
// - Tasks posted to `Queue::main()` run one at a time on the main thread, in
//   the order of their due time, then of posting. Observable state changes
//   only there.
// - Tasks posted to `Queue::background()` may run concurrently with each other.
// - Tasks posted to one `Queue::serial(label)` run one at a time, in order,
//   on that queue's own thread; different labels run concurrently.
// - Every task runs at most once; a cancelled timer's task never starts (a
//   task already running is not interrupted).
// - `now()` is the scheduler's clock: monotonic, virtual under test.

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <utility>

namespace kd {

class Queue {
  public:
    enum class Kind { main, background, serial };

    static Queue main() { return Queue(Kind::main, "main"); }
    static Queue background() { return Queue(Kind::background, "background"); }
    static Queue serial(std::string label) { return Queue(Kind::serial, std::move(label)); }

    Kind kind() const { return kind_; }
    const std::string& label() const { return label_; }

    friend bool operator==(const Queue&, const Queue&) = default;

  private:
    Queue(Kind kind, std::string label) : kind_(kind), label_(std::move(label)) {}
    Kind kind_;
    std::string label_;
};

// Labels of the fixed serial queues.
inline constexpr const char* kVirtualDisplayQueueLabel = "com.kelvane1.display.virtualdisplay";
inline constexpr const char* kHttpQueueLabel = "com.kelvane1.display.http";
inline constexpr const char* kCaptureQueueLabel = "com.kelvane1.display.capture";

// Cancels a task scheduled with `after`. Copies share the one task; cancelling
// from any thread is safe, and cancelling after the task ran does nothing.
class TimerHandle {
  public:
    TimerHandle() = default;
    explicit TimerHandle(std::shared_ptr<std::function<void()>> cancel)
        : cancel_(std::move(cancel)) {}
    void cancel() const {
        if (cancel_ && *cancel_) (*cancel_)();
    }

  private:
    std::shared_ptr<std::function<void()>> cancel_;
};

class Scheduler {
  public:
    using Clock = std::chrono::steady_clock;
    using TimePoint = Clock::time_point;
    using Duration = Clock::duration;
    using Task = std::function<void()>;

    virtual ~Scheduler() = default;

    virtual void post(const Queue& queue, Task task) = 0;
    virtual TimerHandle after(Duration delay, const Queue& queue, Task task) = 0;
    virtual TimePoint now() const = 0;
    // True on the thread that runs the main queue.
    virtual bool onMainThread() const = 0;
};

}  // namespace kd
