#include "platform/sim/sim_dns_sd.h"

#include <algorithm>
#include <utility>

namespace kd {

namespace {

constexpr const char* kAirPlayType = "_airplay._tcp.";
constexpr const char* kLocalDomain = "local.";

}  // namespace

struct SimDnsSd::Browse {
    BrowseEvents events;
};

class SimDnsSd::BrowseHandle : public ServiceBrowse {
  public:
    explicit BrowseHandle(std::shared_ptr<Browse> browse) : browse_(std::move(browse)) {}

  private:
    std::shared_ptr<Browse> browse_;  // the network holds it weakly
};

class SimDnsSd::ResolutionHandle : public ServiceResolution {
  public:
    explicit ResolutionHandle(TimerHandle timer) : timer_(std::move(timer)) {}
    ~ResolutionHandle() override { timer_.cancel(); }

  private:
    TimerHandle timer_;
};

std::string receiverTxtRecord(const ScenarioAirPlayReceiver& receiver) {
    std::string wire;
    const auto add = [&](const std::string& key, const std::string& value) {
        if (value.empty()) return;
        const auto entry = (key + "=" + value).substr(0, 255);
        wire += static_cast<char>(entry.size());
        wire += entry;
    };
    add("deviceid", receiver.deviceID);
    add("model", receiver.model);
    add("features", receiver.features);
    add("pi", receiver.pi);
    add("psi", receiver.psi);
    return wire;
}

SimDnsSd::SimDnsSd(const std::vector<ScenarioAirPlayReceiver>& receivers, Scheduler& scheduler)
    : scheduler_(scheduler) {
    for (const auto& receiver : receivers) receivers_[receiver.name] = receiver;
}

SimDnsSd::~SimDnsSd() = default;

std::unique_ptr<ServiceBrowse> SimDnsSd::browse(const std::string& type, const std::string& domain,
                                                BrowseEvents events) {
    auto browse = std::make_shared<Browse>(Browse{std::move(events)});
    std::erase_if(browses_, [](const auto& weak) { return weak.expired(); });
    browses_.push_back(browse);
    if (type == kAirPlayType && domain == kLocalDomain) {
        for (const auto& [name, receiver] : receivers_) tell(browse, name, true);
    }
    return std::make_unique<BrowseHandle>(std::move(browse));
}

void SimDnsSd::tell(const std::shared_ptr<Browse>& browse, const std::string& name, bool found) {
    scheduler_.after(kAnnounceDelay, Queue::main(), [weak = std::weak_ptr(browse), name, found] {
        const auto alive = weak.lock();
        if (!alive) return;
        const BrowsedService service{name, kAirPlayType, kLocalDomain};
        const auto& event = found ? alive->events.found : alive->events.removed;
        if (event) event(service, false);
    });
}

std::unique_ptr<ServiceResolution> SimDnsSd::resolve(const BrowsedService& service,
                                                     std::chrono::milliseconds timeout,
                                                     ResolveDone done) {
    std::optional<ResolvedService> answer;
    const auto receiver = receivers_.find(service.name);
    const bool answers = receiver != receivers_.end() && receiver->second.resolves &&
                         service.type == kAirPlayType && kResolveDelay <= timeout;
    if (answers) {
        const auto& r = receiver->second;
        answer = ResolvedService{r.host, r.port, receiverTxtRecord(r)};
    }
    const auto delay = answers ? std::chrono::milliseconds(kResolveDelay) : timeout;
    auto timer = scheduler_.after(delay, Queue::main(),
                                  [answer = std::move(answer), done = std::move(done)] {
                                      if (done) done(answer);
                                  });
    return std::make_unique<ResolutionHandle>(std::move(timer));
}

void SimDnsSd::announce(const ScenarioAirPlayReceiver& receiver) {
    receivers_[receiver.name] = receiver;
    for (const auto& weak : browses_) {
        if (const auto browse = weak.lock()) tell(browse, receiver.name, true);
    }
}

void SimDnsSd::withdraw(const std::string& name) {
    if (receivers_.erase(name) == 0) return;
    for (const auto& weak : browses_) {
        if (const auto browse = weak.lock()) tell(browse, name, false);
    }
}

}  // namespace kd
