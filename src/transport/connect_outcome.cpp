#include "transport/connect_outcome.h"

namespace kd {

ConnectOutcome connectOutcome(bool rowFound, bool connected, bool mirroring) {
    if (!rowFound) return ConnectOutcome::notFound;
    if (!connected) return ConnectOutcome::sessionWithoutDisplay;
    return mirroring ? ConnectOutcome::duplicating : ConnectOutcome::extended;
}

std::optional<std::string> outcomeMessage(ConnectOutcome outcome, std::string_view device,
                                          bool airPlay) {
    const std::string name(device);
    switch (outcome) {
        case ConnectOutcome::extended:
            return std::nullopt;
        case ConnectOutcome::duplicating:
            return name + " is duplicating this Mac \u2014 press an arrow to extend instead";
        case ConnectOutcome::sessionWithoutDisplay:
            // Over AirPlay the session is up and only the system's choice of
            // what to send is missing; it is made in Displays settings.
            if (airPlay) {
                return name +
                       " is connected, but macOS hasn't been told what to send it. "
                       "Open Displays settings and set it to extend.";
            }
            return name + " connected, but no second screen appeared";
        case ConnectOutcome::notFound:
            if (airPlay)
                return name + " didn't answer \u2014 it may be asleep or on another network";
            return name + " didn't answer";
    }
    return std::nullopt;
}

}  // namespace kd
