#pragma once

// A value that tells its subscribers when it changes: how controllers publish
// their state, and how view models follow it.
//
// Contract:
// - Main thread only: `get`, `set`, `subscribe` and dropping a Subscription
//   all happen there, and subscribers are called there, inside `set`.
// - `set` stores the value and calls every subscriber with it only when it
//   differs from the value held; subscribers run in the order they subscribed.
//   A subscriber may subscribe or unsubscribe others (or itself) while being
//   called: one dropped meanwhile is not called, one added meanwhile is called
//   from the next change on.
// - A subscriber must not `set` the value it is told about.
// - `subscribe` does not call the subscriber with the current value.
// - A Subscription ends when it is destroyed or reset; it may outlive the
//   Published, and then ending it does nothing.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <utility>
#include <vector>

namespace kd {

template <typename T>
class Published {
  public:
    using Subscriber = std::function<void(const T&)>;

    class Subscription {
      public:
        Subscription() = default;
        Subscription(const Subscription&) = delete;
        Subscription& operator=(const Subscription&) = delete;
        Subscription(Subscription&& other) noexcept
            : subscribers_(std::move(other.subscribers_)), id_(other.id_) {}
        Subscription& operator=(Subscription&& other) noexcept {
            if (this != &other) {
                reset();
                subscribers_ = std::move(other.subscribers_);
                id_ = other.id_;
            }
            return *this;
        }
        ~Subscription() { reset(); }

        void reset() {
            if (const auto subscribers = subscribers_.lock()) subscribers->erase(id_);
            subscribers_.reset();
        }

      private:
        friend class Published;
        Subscription(std::weak_ptr<std::map<std::uint64_t, Subscriber>> subscribers,
                     std::uint64_t id)
            : subscribers_(std::move(subscribers)), id_(id) {}

        std::weak_ptr<std::map<std::uint64_t, Subscriber>> subscribers_;
        std::uint64_t id_ = 0;
    };

    explicit Published(T initial = T{}) : value_(std::move(initial)) {}
    Published(const Published&) = delete;
    Published& operator=(const Published&) = delete;

    const T& get() const { return value_; }

    void set(T value) {
        if (value == value_) return;
        value_ = std::move(value);
        // Ids in subscription order, taken before calling anyone, so changes
        // to the subscribers made by a subscriber do not disturb the walk.
        std::vector<std::uint64_t> ids;
        ids.reserve(subscribers_->size());
        for (const auto& entry : *subscribers_) ids.push_back(entry.first);
        const auto keepAlive = subscribers_;
        for (const auto id : ids) {
            const auto found = keepAlive->find(id);
            if (found == keepAlive->end()) continue;
            const auto subscriber = found->second;  // it may drop itself while running
            subscriber(value_);
        }
    }

    // Const: following a value does not change it, so readers holding it as
    // const may follow it.
    [[nodiscard]] Subscription subscribe(Subscriber subscriber) const {
        const auto id = nextId_++;
        subscribers_->emplace(id, std::move(subscriber));
        return Subscription(subscribers_, id);
    }

  private:
    T value_;
    std::shared_ptr<std::map<std::uint64_t, Subscriber>> subscribers_ =
        std::make_shared<std::map<std::uint64_t, Subscriber>>();
    mutable std::uint64_t nextId_ = 0;
};

}  // namespace kd
