#pragma once

// DNS-SD through the Avahi daemon, reached over D-Bus with the Avahi client
// library and its threaded poll.
//
// Beyond the port's contract:
// - Avahi reports a service once per network interface and IP version; a
//   name is reported found when its first instance appears and removed when
//   its last one goes. `moreComing` is always false: Avahi does not say.
// - A resolution asks on the interface and IP version the service was last
//   browsed on, so it works on IPv4-only and IPv6-only networks alike.
// - Types and domains are reported with a final "." ("_airplay._tcp.",
//   "local."), as Bonjour writes them; either form is accepted.
// - A browse the daemon fails (it stopped, say) falls silent.
// - Handles keep the daemon connection alive, so they may outlive this
//   object; the scheduler must outlive both.

#include <memory>
#include <string>

#include "platform/dns_sd.h"
#include "platform/scheduler.h"

namespace kd {

class AvahiDnsSd : public DnsSd {
  public:
    class Connection;

    // Connects to the daemon on the system bus (DBUS_SYSTEM_BUS_ADDRESS, if
    // set, names it). Null, with the reason in `failure`, when there is no
    // daemon or no bus. Call it on the main thread.
    static std::unique_ptr<AvahiDnsSd> connect(Scheduler& scheduler, std::string& failure);

    std::unique_ptr<ServiceBrowse> browse(const std::string& type, const std::string& domain,
                                          BrowseEvents events) override;
    std::unique_ptr<ServiceResolution> resolve(const BrowsedService& service,
                                               std::chrono::milliseconds timeout,
                                               ResolveDone done) override;

  private:
    explicit AvahiDnsSd(std::shared_ptr<Connection> connection);

    std::shared_ptr<Connection> connection_;
};

}  // namespace kd
