#include "platform/linux/avahi_dns_sd.h"

#include <avahi-client/client.h>
#include <avahi-client/lookup.h>
#include <avahi-common/error.h>
#include <avahi-common/strlst.h>
#include <avahi-common/thread-watch.h>

#include <map>
#include <tuple>
#include <utility>
#include <vector>

namespace kd {

namespace {

std::string withoutFinalDot(std::string text) {
    if (text.ends_with('.')) text.pop_back();
    return text;
}

std::string withFinalDot(const char* text) {
    std::string out = text ? text : "";
    if (!out.ends_with('.')) out += '.';
    return out;
}

// One announcement of a service: the interface and IP version it came on.
struct Instance {
    AvahiIfIndex interface;
    AvahiProtocol protocol;
    friend bool operator==(const Instance&, const Instance&) = default;
};

using ServiceKey = std::tuple<std::string, std::string, std::string>;  // name, type, domain

ServiceKey keyOf(const char* name, const char* type, const char* domain) {
    return {name ? name : "", withoutFinalDot(type ? type : ""),
            withoutFinalDot(domain ? domain : "")};
}

std::string wireForm(AvahiStringList* txt) {
    // Asked without a buffer, Avahi gives the size; an empty list becomes
    // the single empty string DNS-SD requires.
    std::string out(avahi_string_list_serialize(txt, nullptr, 0), '\0');
    out.resize(avahi_string_list_serialize(txt, out.data(), out.size()));
    return out;
}

}  // namespace

// The daemon connection, shared by the adapter and every handle. Avahi
// objects are touched only with the poll's lock held: its callbacks hold it
// on the poll thread, and the main thread takes it.
class AvahiDnsSd::Connection {
  public:
    Connection(Scheduler& scheduler, AvahiThreadedPoll* poll) : scheduler(scheduler), poll(poll) {}
    ~Connection() {
        avahi_threaded_poll_stop(poll);
        if (client) avahi_client_free(client);
        avahi_threaded_poll_free(poll);
    }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    class Lock {
      public:
        explicit Lock(const Connection& connection) : poll_(connection.poll) {
            avahi_threaded_poll_lock(poll_);
        }
        ~Lock() { avahi_threaded_poll_unlock(poll_); }
        Lock(const Lock&) = delete;
        Lock& operator=(const Lock&) = delete;

      private:
        AvahiThreadedPoll* poll_;
    };

    Scheduler& scheduler;
    AvahiThreadedPoll* const poll;
    AvahiClient* client = nullptr;
    // Where each browsed service was last seen; under the lock.
    std::map<ServiceKey, std::vector<Instance>> instances;
};

namespace {

using Connection = AvahiDnsSd::Connection;

// ---- Browsing ---------------------------------------------------------------

class AvahiBrowse : public ServiceBrowse {
  public:
    // What the main queue's tasks need; they run only while `alive`.
    struct Events {
        DnsSd::BrowseEvents callbacks;
        std::map<std::string, int> instanceCounts;
        bool alive = true;
    };
    struct Context {
        Connection* connection;
        std::shared_ptr<Events> events;
    };

    AvahiBrowse(std::shared_ptr<Connection> connection, std::shared_ptr<Context> context,
                AvahiServiceBrowser* browser)
        : connection_(std::move(connection)), context_(std::move(context)), browser_(browser) {}

    ~AvahiBrowse() override {
        if (browser_) {
            const Connection::Lock lock(*connection_);
            avahi_service_browser_free(browser_);
        }
        context_->events->alive = false;
    }

    static void onEvent(AvahiServiceBrowser*, AvahiIfIndex interface, AvahiProtocol protocol,
                        AvahiBrowserEvent event, const char* name, const char* type,
                        const char* domain, AvahiLookupResultFlags, void* user) {
        if (event != AVAHI_BROWSER_NEW && event != AVAHI_BROWSER_REMOVE) return;
        auto* context = static_cast<Context*>(user);
        const bool appeared = event == AVAHI_BROWSER_NEW;
        auto& instances = context->connection->instances;
        const ServiceKey key = keyOf(name, type, domain);
        auto& seen = instances[key];
        const Instance instance{interface, protocol};
        std::erase(seen, instance);
        if (appeared) seen.push_back(instance);
        if (seen.empty()) instances.erase(key);

        BrowsedService service{name ? name : "", withFinalDot(type), withFinalDot(domain)};
        context->connection->scheduler.post(
            Queue::main(), [events = context->events, service = std::move(service), appeared] {
                if (!events->alive) return;
                int& count = events->instanceCounts[service.name];
                count += appeared ? 1 : -1;
                if (appeared && count == 1 && events->callbacks.found) {
                    events->callbacks.found(service, false);
                } else if (!appeared && count == 0) {
                    events->instanceCounts.erase(service.name);
                    if (events->callbacks.removed) events->callbacks.removed(service, false);
                } else if (count < 0) {
                    events->instanceCounts.erase(service.name);
                }
            });
    }

  private:
    std::shared_ptr<Connection> connection_;
    std::shared_ptr<Context> context_;
    AvahiServiceBrowser* browser_;
};

// ---- Resolving --------------------------------------------------------------

class AvahiResolution : public ServiceResolution {
  public:
    // `done`, `timeout` and `alive` belong to the main thread; `resolver`
    // is touched only under the connection's lock.
    struct State {
        Connection* connection;
        DnsSd::ResolveDone done;
        TimerHandle timeout;
        bool alive = true;
        AvahiServiceResolver* resolver = nullptr;
    };

    AvahiResolution(std::shared_ptr<Connection> connection, std::shared_ptr<State> state,
                    std::unique_ptr<std::shared_ptr<State>> userData)
        : connection_(std::move(connection)),
          state_(std::move(state)),
          userData_(std::move(userData)) {}

    ~AvahiResolution() override {
        state_->alive = false;
        state_->timeout.cancel();
        const Connection::Lock lock(*connection_);
        freeResolver(*state_);
    }

    static void freeResolver(State& state) {
        if (state.resolver) avahi_service_resolver_free(state.resolver);
        state.resolver = nullptr;
    }

    // On the main queue: the first outcome wins, later ones are dropped.
    static void finish(State& state, std::optional<ResolvedService> result) {
        if (!state.alive || !state.done) return;
        state.timeout.cancel();
        const auto done = std::move(state.done);
        state.done = nullptr;
        done(std::move(result));
    }

    static void onResult(AvahiServiceResolver*, AvahiIfIndex, AvahiProtocol,
                         AvahiResolverEvent event, const char*, const char*, const char*,
                         const char* host, const AvahiAddress*, uint16_t port, AvahiStringList* txt,
                         AvahiLookupResultFlags, void* user) {
        auto& state = *static_cast<std::shared_ptr<State>*>(user);
        std::optional<ResolvedService> result;
        if (event == AVAHI_RESOLVER_FOUND) {
            result = ResolvedService{host ? host : "", port, wireForm(txt)};
        }
        // Freed at once: a resolver left running keeps reporting changes.
        freeResolver(*state);
        state->connection->scheduler.post(
            Queue::main(),
            [state, result = std::move(result)]() mutable { finish(*state, std::move(result)); });
    }

    static void onTimeout(const std::weak_ptr<State>& weak) {
        const auto state = weak.lock();
        if (!state || !state->alive) return;
        {
            const Connection::Lock lock(*state->connection);
            freeResolver(*state);
        }
        finish(*state, std::nullopt);
    }

  private:
    std::shared_ptr<Connection> connection_;
    std::shared_ptr<State> state_;
    std::unique_ptr<std::shared_ptr<State>> userData_;
};

void ignoreClientState(AvahiClient*, AvahiClientState, void*) {}

}  // namespace

std::unique_ptr<AvahiDnsSd> AvahiDnsSd::connect(Scheduler& scheduler, std::string& failure) {
    AvahiThreadedPoll* poll = avahi_threaded_poll_new();
    if (!poll) {
        failure = "cannot start the Avahi event loop";
        return nullptr;
    }
    auto connection = std::make_shared<Connection>(scheduler, poll);
    int error = 0;
    connection->client =
        avahi_client_new(avahi_threaded_poll_get(poll), static_cast<AvahiClientFlags>(0),
                         ignoreClientState, nullptr, &error);
    if (!connection->client) {
        failure = std::string("cannot reach the Avahi daemon: ") + avahi_strerror(error);
        return nullptr;
    }
    if (avahi_threaded_poll_start(poll) < 0) {
        failure = "cannot start the Avahi event loop";
        return nullptr;
    }
    return std::unique_ptr<AvahiDnsSd>(new AvahiDnsSd(std::move(connection)));
}

AvahiDnsSd::AvahiDnsSd(std::shared_ptr<Connection> connection)
    : connection_(std::move(connection)) {}

std::unique_ptr<ServiceBrowse> AvahiDnsSd::browse(const std::string& type,
                                                  const std::string& domain, BrowseEvents events) {
    auto context = std::make_shared<AvahiBrowse::Context>(AvahiBrowse::Context{
        connection_.get(),
        std::make_shared<AvahiBrowse::Events>(AvahiBrowse::Events{std::move(events), {}, true})});
    AvahiServiceBrowser* browser = nullptr;
    {
        const Connection::Lock lock(*connection_);
        browser = avahi_service_browser_new(
            connection_->client, AVAHI_IF_UNSPEC, AVAHI_PROTO_UNSPEC, withoutFinalDot(type).c_str(),
            withoutFinalDot(domain).c_str(), static_cast<AvahiLookupFlags>(0), AvahiBrowse::onEvent,
            context.get());
    }
    return std::make_unique<AvahiBrowse>(connection_, std::move(context), browser);
}

std::unique_ptr<ServiceResolution> AvahiDnsSd::resolve(const BrowsedService& service,
                                                       std::chrono::milliseconds timeout,
                                                       ResolveDone done) {
    using State = AvahiResolution::State;
    auto state = std::make_shared<State>(State{connection_.get(), std::move(done), {}, true, {}});
    // The callbacks' view of the state; it lives as long as the handle,
    // which frees the resolver before it goes.
    auto userData = std::make_unique<std::shared_ptr<State>>(state);
    bool started = false;  // read under the lock: the answer may come before it is let go
    {
        const Connection::Lock lock(*connection_);
        Instance where{AVAHI_IF_UNSPEC, AVAHI_PROTO_UNSPEC};
        const auto seen = connection_->instances.find(
            keyOf(service.name.c_str(), service.type.c_str(), service.domain.c_str()));
        if (seen != connection_->instances.end() && !seen->second.empty()) {
            where = seen->second.back();
        }
        state->resolver = avahi_service_resolver_new(
            connection_->client, where.interface, where.protocol, service.name.c_str(),
            withoutFinalDot(service.type).c_str(), withoutFinalDot(service.domain).c_str(),
            AVAHI_PROTO_UNSPEC, static_cast<AvahiLookupFlags>(0), AvahiResolution::onResult,
            userData.get());
        started = state->resolver != nullptr;
    }
    auto& scheduler = connection_->scheduler;
    if (!started) {
        scheduler.post(Queue::main(), [state] { AvahiResolution::finish(*state, std::nullopt); });
    } else {
        // Weak, so a finished resolution is not kept until its timeout.
        state->timeout = scheduler.after(timeout, Queue::main(), [weak = std::weak_ptr(state)] {
            AvahiResolution::onTimeout(weak);
        });
    }
    return std::make_unique<AvahiResolution>(connection_, std::move(state), std::move(userData));
}

}  // namespace kd
