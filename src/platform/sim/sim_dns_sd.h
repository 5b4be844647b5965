#pragma once

// The simulated local network's DNS-SD: the scenario's AirPlay receivers,
// announced as "_airplay._tcp." services in "local.". A browse hears of each
// receiver kAnnounceDelay after it starts (or after the receiver appears);
// a resolution answers kResolveDelay after it is asked, with the receiver's
// host, port and TXT record (deviceid, model, features, pi, psi; empty
// values left out), unless the receiver never resolves: then it answers
// nothing at its timeout.
//
// Main thread only, like the port; every callback is a main-queue task of
// the scheduler, so tests drive it with virtual time.

#include <chrono>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/dns_sd.h"
#include "platform/scheduler.h"
#include "platform/sim/scenario.h"

namespace kd {

class SimDnsSd : public DnsSd {
  public:
    static constexpr std::chrono::milliseconds kAnnounceDelay{50};
    static constexpr std::chrono::milliseconds kResolveDelay{200};

    SimDnsSd(const std::vector<ScenarioAirPlayReceiver>& receivers, Scheduler& scheduler);
    ~SimDnsSd() override;

    std::unique_ptr<ServiceBrowse> browse(const std::string& type, const std::string& domain,
                                          BrowseEvents events) override;
    std::unique_ptr<ServiceResolution> resolve(const BrowsedService& service,
                                               std::chrono::milliseconds timeout,
                                               ResolveDone done) override;

    // Simulator controls: a receiver joins the network, or says goodbye.
    void announce(const ScenarioAirPlayReceiver& receiver);
    void withdraw(const std::string& name);

  private:
    struct Browse;
    class BrowseHandle;
    class ResolutionHandle;

    void tell(const std::shared_ptr<Browse>& browse, const std::string& name, bool found);

    Scheduler& scheduler_;
    std::map<std::string, ScenarioAirPlayReceiver> receivers_;
    std::vector<std::weak_ptr<Browse>> browses_;
};

// The TXT record a receiver announces, in wire form.
std::string receiverTxtRecord(const ScenarioAirPlayReceiver& receiver);

}  // namespace kd
