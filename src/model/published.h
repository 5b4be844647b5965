#pragma once

// A value that windows observe: a controller sets it, subscribers hear of
// every change. Controllers stay free of any window toolkit; the window
// layer subscribes and re-emits in its own terms.
//
// Contract: main thread only, for every member and every subscription.
// `set` notifies only when the new value differs from the old, after the
// value has changed, in the order the subscribers subscribed. A subscriber
// may unsubscribe itself or others while being notified; one that
// subscribes while others are notified hears only later changes. Destroying
// the Subscription unsubscribes; it may outlive the Published value.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <utility>

namespace kd {

class Subscription {
  public:
    Subscription() = default;
    explicit Subscription(std::function<void()> cancel) : cancel_(std::move(cancel)) {}
    Subscription(Subscription&& other) noexcept : cancel_(std::exchange(other.cancel_, {})) {}
    Subscription& operator=(Subscription&& other) noexcept {
        if (this != &other) {
            reset();
            cancel_ = std::exchange(other.cancel_, {});
        }
        return *this;
    }
    Subscription(const Subscription&) = delete;
    Subscription& operator=(const Subscription&) = delete;
    ~Subscription() { reset(); }

    void reset() {
        if (cancel_) std::exchange(cancel_, {})();
    }

  private:
    std::function<void()> cancel_;
};

template <typename T>
class Published {
  public:
    using Observer = std::function<void(const T&)>;

    Published() = default;
    explicit Published(T value) : value_(std::move(value)) {}
    Published(const Published&) = delete;
    Published& operator=(const Published&) = delete;

    const T& get() const { return value_; }
    operator const T&() const { return value_; }

    // Returns whether the value changed.
    bool set(T value) {
        if (value == value_) return false;
        value_ = std::move(value);
        // Observers may come and go while we call them: walk a snapshot of
        // the keys and skip those gone since.
        const auto last = observers_->empty() ? 0 : observers_->rbegin()->first;
        for (auto it = observers_->begin(); it != observers_->end() && it->first <= last;) {
            const auto key = it->first;
            const auto observer = it->second;  // the call may erase the entry
            observer(value_);
            it = observers_->upper_bound(key);
        }
        return true;
    }

    [[nodiscard]] Subscription subscribe(Observer observer) {
        const auto key = next_++;
        observers_->emplace(key, std::move(observer));
        return Subscription([weak = std::weak_ptr(observers_), key] {
            if (const auto observers = weak.lock()) observers->erase(key);
        });
    }

  private:
    T value_{};
    std::shared_ptr<std::map<std::uint64_t, Observer>> observers_ =
        std::make_shared<std::map<std::uint64_t, Observer>>();
    std::uint64_t next_ = 1;
};

}  // namespace kd
