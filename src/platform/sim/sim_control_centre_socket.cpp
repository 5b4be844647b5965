#include "platform/sim/sim_control_centre_socket.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <condition_variable>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <system_error>
#include <vector>

#include "platform/sim/scripting/control_centre_wire.h"
#include "platform/sim/scripting/line_socket.h"

namespace kd {
namespace {

constexpr std::string_view kSocketName = "control-centre";
constexpr int kBacklog = 16;

constexpr std::string_view kUnreadableRequest =
    "The simulated Control Centre could not read the request.\n";

[[noreturn]] void fail(const std::string& what) {
    throw std::system_error(errno, std::generic_category(), what);
}

// A fresh folder only this user can enter, whose socket path fits a socket
// address.
std::string privateFolder() {
    std::vector<std::string> bases;
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime != nullptr && *runtime) {
        bases.emplace_back(runtime);
    }
    bases.emplace_back("/tmp");
    const auto capacity = sizeof(sockaddr_un::sun_path);
    for (const auto& base : bases) {
        std::string folder = base + "/kd-control-centre-XXXXXX";
        if (folder.size() + 1 + kSocketName.size() >= capacity) continue;
        if (::mkdtemp(folder.data()) != nullptr) return folder;
    }
    fail("cannot make a folder for the Control Centre socket");
}

UniqueFd listenAt(const std::string& path) {
    UniqueFd listener(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (!listener.isOpen()) fail("cannot open the Control Centre socket");
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    path.copy(address.sun_path, sizeof(address.sun_path) - 1);
    if (::bind(listener.get(), reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0 ||
        ::listen(listener.get(), kBacklog) != 0) {
        fail("cannot listen at " + path);
    }
    return listener;
}

}  // namespace

struct SimControlCentreSocket::Server {
    Server(SimControlCentre& controlCentre, Scheduler& scheduler, UniqueFd listener)
        : controlCentre(controlCentre), scheduler(scheduler), listener(std::move(listener)) {}

    SimControlCentre& controlCentre;
    Scheduler& scheduler;
    const UniqueFd listener;

    std::mutex mutex;
    std::condition_variable idle;
    bool stopping = false;
    bool serving = false;

    static void serveNext(const std::shared_ptr<Server>& server) {
        {
            const std::lock_guard lock(server->mutex);
            if (server->stopping) return;
            server->serving = true;
        }
        server->acceptOne();
        {
            const std::lock_guard lock(server->mutex);
            server->serving = false;
            server->idle.notify_all();
            if (server->stopping) return;
        }
        server->scheduler.post(Queue::serial(kSimControlCentreQueueLabel),
                               [server] { serveNext(server); });
    }

    void acceptOne() {
        pollfd incoming{listener.get(), POLLIN, 0};
        if (::poll(&incoming, 1, static_cast<int>(kPollInterval.count())) <= 0) return;
        const UniqueFd client(
            ::accept4(listener.get(), nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK));
        if (!client.isOpen()) return;
        const auto request = receiveLine(client.get(), kControlCentreMessageLimit,
                                         std::chrono::steady_clock::now() + kConnectionPatience);
        if (!request) return;
        const auto script = decodeScriptRequest(*request);
        const auto answer = script ? controlCentre.run(*script)
                                   : ScriptAnswer{1, "", std::string(kUnreadableRequest)};
        sendAll(client.get(), encodeScriptAnswer(answer),
                std::chrono::steady_clock::now() + kConnectionPatience);
    }
};

SimControlCentreSocket::SimControlCentreSocket(SimControlCentre& controlCentre,
                                               Scheduler& scheduler)
    : folder_(privateFolder()), path_(folder_ + "/" + std::string(kSocketName)) {
    try {
        server_ = std::make_shared<Server>(controlCentre, scheduler, listenAt(path_));
    } catch (...) {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
        throw;
    }
    scheduler.post(Queue::serial(kSimControlCentreQueueLabel),
                   [server = server_] { Server::serveNext(server); });
}

SimControlCentreSocket::~SimControlCentreSocket() {
    {
        std::unique_lock lock(server_->mutex);
        server_->stopping = true;
        server_->idle.wait_for(lock, kStopPatience, [this] { return !server_->serving; });
    }
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

}  // namespace kd
