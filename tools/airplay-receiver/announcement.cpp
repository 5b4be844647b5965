#include "announcement.h"

#include <avahi-client/client.h>
#include <avahi-client/publish.h>
#include <avahi-common/error.h>
#include <avahi-common/strlst.h>
#include <avahi-common/thread-watch.h>

namespace kd::receiver {

struct Announcement::State {
    Options options;
    int port = 0;
    Events events;
    AvahiThreadedPoll* poll = nullptr;
    AvahiClient* client = nullptr;
    AvahiEntryGroup* group = nullptr;  // created on Avahi's thread once the daemon runs
    bool reported = false;

    void report(bool ok, const std::string& message) {
        if (reported) return;
        reported = true;
        (ok ? events.established : events.failed)(message);
    }
};

namespace {

using State = Announcement::State;

void onGroup(AvahiEntryGroup* group, AvahiEntryGroupState groupState, void* user) {
    auto& state = *static_cast<State*>(user);
    const std::string name = '"' + state.options.name + '"';
    if (groupState == AVAHI_ENTRY_GROUP_ESTABLISHED) {
        state.report(true, "announced " + name + " on port " + std::to_string(state.port));
    } else if (groupState == AVAHI_ENTRY_GROUP_COLLISION) {
        state.report(false, "another service is already called " + name);
    } else if (groupState == AVAHI_ENTRY_GROUP_FAILURE) {
        const int error = avahi_client_errno(avahi_entry_group_get_client(group));
        state.report(false, std::string("announcing failed: ") + avahi_strerror(error));
    }
}

void publish(AvahiClient* client, State& state) {
    state.group = avahi_entry_group_new(client, onGroup, &state);
    AvahiStringList* txt = nullptr;
    txt = avahi_string_list_add(txt, ("deviceid=" + state.options.deviceId).c_str());
    txt = avahi_string_list_add(txt, ("model=" + state.options.model).c_str());
    txt = avahi_string_list_add(txt, ("features=" + state.options.features).c_str());
    if (state.options.pi) txt = avahi_string_list_add(txt, ("pi=" + *state.options.pi).c_str());
    if (state.options.psi) {
        txt = avahi_string_list_add(txt, ("psi=" + *state.options.psi).c_str());
    }
    const int added =
        state.group ? avahi_entry_group_add_service_strlst(
                          state.group, AVAHI_IF_UNSPEC, AVAHI_PROTO_UNSPEC,
                          static_cast<AvahiPublishFlags>(0), state.options.name.c_str(),
                          "_airplay._tcp", nullptr, nullptr, static_cast<uint16_t>(state.port), txt)
                    : avahi_client_errno(client);
    avahi_string_list_free(txt);
    const int committed = added == 0 ? avahi_entry_group_commit(state.group) : added;
    if (committed != 0) {
        state.report(false, std::string("announcing failed: ") + avahi_strerror(committed));
    }
}

void onClient(AvahiClient* client, AvahiClientState clientState, void* user) {
    auto& state = *static_cast<State*>(user);
    if (clientState == AVAHI_CLIENT_S_RUNNING && !state.group) {
        publish(client, state);
    } else if (clientState == AVAHI_CLIENT_FAILURE) {
        state.report(false, std::string("lost the Avahi daemon: ") +
                                avahi_strerror(avahi_client_errno(client)));
    }
}

}  // namespace

std::unique_ptr<Announcement> Announcement::start(const Options& options, int port, Events events,
                                                  std::string& error) {
    auto state = std::make_unique<State>();
    state->options = options;
    state->port = port;
    state->events = std::move(events);
    state->poll = avahi_threaded_poll_new();
    if (!state->poll) {
        error = "cannot start the Avahi event loop";
        return nullptr;
    }
    auto announcement = std::unique_ptr<Announcement>(new Announcement(std::move(state)));
    State& s = *announcement->state_;
    int code = 0;
    s.client = avahi_client_new(avahi_threaded_poll_get(s.poll), static_cast<AvahiClientFlags>(0),
                                onClient, &s, &code);
    if (!s.client) {
        error = std::string("cannot reach the Avahi daemon: ") + avahi_strerror(code);
        return nullptr;
    }
    if (avahi_threaded_poll_start(s.poll) < 0) {
        error = "cannot start the Avahi event loop";
        return nullptr;
    }
    return announcement;
}

Announcement::Announcement(std::unique_ptr<State> state) : state_(std::move(state)) {}

Announcement::~Announcement() {
    // Stopping the loop first means no callback runs while the group and the
    // client go; freeing the group withdraws the service.
    avahi_threaded_poll_stop(state_->poll);
    if (state_->group) avahi_entry_group_free(state_->group);
    if (state_->client) avahi_client_free(state_->client);
    avahi_threaded_poll_free(state_->poll);
}

}  // namespace kd::receiver
