#pragma once

// Notifications inside the process: one part of the program posts a name,
// and every part observing that name hears of it, without either knowing
// the other.
//
// Contract:
// - `post` may be called from any thread and returns at once. Later, on the
//   main queue, each observer of that name is called once, in the order they
//   began observing. A post nobody observes is dropped.
// - Observers are looked up when a post is delivered, not when it is made,
//   and again before each call: one that began observing in between is
//   called, one that ended in between (even during the delivery) is not.
// - `observe` and ending an Observation happen on the main thread; an
//   observer may begin or end observations while it is called.
// - An Observation ends when it is destroyed or reset; it may outlive the
//   centre, and then ending it does nothing.

#include <functional>
#include <string>
#include <utility>

namespace kd {

class NotificationCenter {
  public:
    using Observer = std::function<void()>;

    class Observation {
      public:
        Observation() = default;
        explicit Observation(std::function<void()> end) : end_(std::move(end)) {}
        Observation(const Observation&) = delete;
        Observation& operator=(const Observation&) = delete;
        Observation(Observation&& other) noexcept : end_(std::exchange(other.end_, {})) {}
        Observation& operator=(Observation&& other) noexcept {
            if (this != &other) {
                reset();
                end_ = std::exchange(other.end_, {});
            }
            return *this;
        }
        ~Observation() { reset(); }

        void reset() {
            if (const auto end = std::exchange(end_, {})) end();
        }

      private:
        std::function<void()> end_;
    };

    virtual ~NotificationCenter() = default;
    virtual void post(const std::string& name) = 0;
    [[nodiscard]] virtual Observation observe(const std::string& name, Observer observer) = 0;
};

}  // namespace kd
