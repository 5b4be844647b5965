#include "platform/in_process_notification_center.h"

#include <vector>

namespace kd {

InProcessNotificationCenter::InProcessNotificationCenter(Scheduler& scheduler)
    : scheduler_(scheduler) {}

void InProcessNotificationCenter::post(const std::string& name) {
    // Only the scheduler and this pointer are touched off the main thread.
    scheduler_.post(Queue::main(), [weakObservers = std::weak_ptr<Observers>(observers_), name] {
        const auto observers = weakObservers.lock();
        if (!observers) return;
        std::vector<std::uint64_t> ids;
        for (const auto& [id, entry] : *observers) {
            if (entry.first == name) ids.push_back(id);
        }
        for (const auto id : ids) {
            const auto found = observers->find(id);
            if (found == observers->end()) continue;
            const auto observer = found->second.second;  // it may end its own observation
            observer();
        }
    });
}

NotificationCenter::Observation InProcessNotificationCenter::observe(const std::string& name,
                                                                     Observer observer) {
    const auto id = nextId_++;
    observers_->emplace(id, std::make_pair(name, std::move(observer)));
    return Observation([weakObservers = std::weak_ptr<Observers>(observers_), id] {
        if (const auto observers = weakObservers.lock()) observers->erase(id);
    });
}

}  // namespace kd
