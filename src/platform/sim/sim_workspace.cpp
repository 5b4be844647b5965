#include "platform/sim/sim_workspace.h"

#include <utility>

namespace kd {

class SimWorkspace::Observation : public WorkspaceObservation {
  public:
    Observation(std::weak_ptr<std::map<std::uint64_t, Observer>> observers, std::uint64_t id)
        : observers_(std::move(observers)), id_(id) {}
    ~Observation() override {
        if (const auto observers = observers_.lock()) observers->erase(id_);
    }

  private:
    std::weak_ptr<std::map<std::uint64_t, Observer>> observers_;
    std::uint64_t id_;
};

std::unique_ptr<WorkspaceObservation> SimWorkspace::observePower(Observer observer) {
    const auto id = nextID_++;
    observers_->emplace(id, std::move(observer));
    return std::make_unique<Observation>(observers_, id);
}

void SimWorkspace::tell(PowerEvent event) {
    scheduler_.post(Queue::main(), [weak = std::weak_ptr(observers_), event] {
        const auto observers = weak.lock();
        if (!observers) return;
        std::vector<std::uint64_t> ids;
        for (const auto& entry : *observers) ids.push_back(entry.first);
        for (const auto id : ids) {
            const auto found = observers->find(id);
            if (found == observers->end()) continue;  // stopped by an earlier observer
            const auto observer = found->second;
            observer(event);
        }
    });
}

}  // namespace kd
