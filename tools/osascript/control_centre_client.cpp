#include "osascript/control_centre_client.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>

#include <cerrno>

#include "platform/sim/scripting/control_centre_wire.h"
#include "platform/sim/scripting/line_socket.h"

namespace kd::osascript {
namespace {

using Clock = std::chrono::steady_clock;
using Outcome = ControlCentreReply::Outcome;

// A full backlog is the only refusal worth waiting out; it is retried this
// often until the patience runs out.
constexpr int kBusyRetryMs = 10;

Outcome failure(Clock::time_point deadline) {
    return Clock::now() >= deadline ? Outcome::timedOut : Outcome::broken;
}

}  // namespace

ControlCentreReply askControlCentre(const std::string& socketPath, std::string_view script,
                                    Clock::duration patience) {
    const auto deadline = Clock::now() + patience;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (socketPath.empty() || socketPath.size() >= sizeof(address.sun_path)) return {};
    socketPath.copy(address.sun_path, sizeof(address.sun_path) - 1);

    const UniqueFd connection(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (!connection.isOpen()) return {};
    while (::connect(connection.get(), reinterpret_cast<const sockaddr*>(&address),
                     sizeof(address)) != 0) {
        if (errno == EINTR) continue;
        if (errno != EAGAIN) return {};
        if (Clock::now() >= deadline) return {Outcome::timedOut, {}};
        ::poll(nullptr, 0, kBusyRetryMs);
    }

    if (!sendAll(connection.get(), encodeScriptRequest(script), deadline)) {
        return {failure(deadline), {}};
    }
    const auto line = receiveLine(connection.get(), kControlCentreMessageLimit, deadline);
    if (!line) return {failure(deadline), {}};
    auto answer = decodeScriptAnswer(*line);
    if (!answer) return {Outcome::broken, {}};
    return {Outcome::answered, std::move(*answer)};
}

}  // namespace kd::osascript
