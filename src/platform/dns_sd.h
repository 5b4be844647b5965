#pragma once

// DNS-SD (Bonjour) browsing and resolution of one service type.
//
// Contract:
// - Call `browse` and `resolve`, and destroy what they return, on the main
//   thread.
// - Every callback arrives on the main queue, and none arrives after the
//   handle it belongs to has been destroyed (destroying the handle stops the
//   browse or cancels the resolution).
// - A browse reports each service name the network announces with `found`,
//   and its withdrawal with `removed`; `moreComing` says more events of the
//   same burst follow at once.
// - A resolution calls `done` exactly once (unless its handle is destroyed
//   first): with the service's host, port and TXT record, or with nothing
//   when it failed or `timeout` passed.

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace kd {

// One announced instance of a service type; its name is unique within the
// type and domain.
struct BrowsedService {
    std::string name;
    std::string type;    // "_airplay._tcp."
    std::string domain;  // "local."
    friend bool operator==(const BrowsedService&, const BrowsedService&) = default;
};

struct ResolvedService {
    std::string host;  // the target host name, such as "Living-Room.local"; empty if none
    int port = 0;
    // The TXT record in its wire form (length-prefixed "key=value" strings);
    // nothing when the service has no TXT record.
    std::optional<std::string> txtRecord;
    friend bool operator==(const ResolvedService&, const ResolvedService&) = default;
};

class ServiceBrowse {
  public:
    virtual ~ServiceBrowse() = default;
};

class ServiceResolution {
  public:
    virtual ~ServiceResolution() = default;
};

class DnsSd {
  public:
    struct BrowseEvents {
        std::function<void(const BrowsedService&, bool moreComing)> found;
        std::function<void(const BrowsedService&, bool moreComing)> removed;
    };
    using ResolveDone = std::function<void(std::optional<ResolvedService>)>;

    virtual ~DnsSd() = default;
    virtual std::unique_ptr<ServiceBrowse> browse(const std::string& type,
                                                  const std::string& domain,
                                                  BrowseEvents events) = 0;
    virtual std::unique_ptr<ServiceResolution> resolve(const BrowsedService& service,
                                                       std::chrono::milliseconds timeout,
                                                       ResolveDone done) = 0;
};

}  // namespace kd
