// How the viewer server fans frames out: 1, 10 and 50 stream clients on
// loopback at 30 frames per second of 200 KB, without and with 5 clients
// that never read. Prints frames delivered per reading client per second,
// the server's CPU time per delivered frame and the process's memory.
//
//   kd-mjpeg-fanout [SECONDS-PER-RUN]      (default 5)

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "platform/unique_fd.h"
#include "server/http_responses.h"
#include "server/mjpeg_server.h"

namespace {

using namespace std::chrono_literals;
using kd::UniqueFd;

constexpr std::size_t kFrameBytes = 200 * 1024;
constexpr auto kFrameInterval = std::chrono::microseconds(1'000'000 / 30);
constexpr const char* kToken = "k7q2m9x4pz";

double cpuSeconds(int who) {
    rusage usage{};
    ::getrusage(who, &usage);
    const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

long residentKiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
    }
    return 0;
}

UniqueFd streamConnection(std::uint16_t port, int receiveBuffer) {
    UniqueFd fd(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (receiveBuffer > 0) {
        ::setsockopt(fd.get(), SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    if (::connect(fd.get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        std::perror("connect");
        std::exit(1);
    }
    const std::string request = std::string("GET /") + kToken + "/stream HTTP/1.1\r\n\r\n";
    if (::send(fd.get(), request.data(), request.size(), MSG_NOSIGNAL) < 0) std::exit(1);
    return fd;
}

struct Result {
    double framesPerClientSecond = 0;
    double slowestClientFps = 0;
    double serverMicrosecondsPerFrame = 0;
    long startKiB = 0;
    long peakKiB = 0;
};

Result run(kd::MJPEGServer& server, const kd::MJPEGServer::Frame& frame, int readers, int stalled,
           std::chrono::seconds duration) {
    std::vector<UniqueFd> readerFds;
    std::vector<UniqueFd> stalledFds;
    for (int i = 0; i < readers; ++i) readerFds.push_back(streamConnection(server.port(), 0));
    for (int i = 0; i < stalled; ++i) stalledFds.push_back(streamConnection(server.port(), 4096));
    while (server.clientCount() < readers + stalled) std::this_thread::sleep_for(1ms);

    std::atomic<bool> done{false};
    std::vector<std::size_t> bytes(static_cast<std::size_t>(readers), 0);
    double readerCpu = 0;
    std::thread reading([&] {
        const double cpuAtStart = cpuSeconds(RUSAGE_THREAD);
        std::vector<pollfd> fds;
        for (const auto& fd : readerFds) fds.push_back({fd.get(), POLLIN, 0});
        std::vector<char> chunk(256 * 1024);
        while (!done) {
            if (::poll(fds.data(), fds.size(), 50) <= 0) continue;
            for (std::size_t i = 0; i < fds.size(); ++i) {
                if (!(fds[i].revents & POLLIN)) continue;
                const ssize_t n = ::recv(fds[i].fd, chunk.data(), chunk.size(), MSG_DONTWAIT);
                if (n > 0) bytes[i] += static_cast<std::size_t>(n);
            }
        }
        readerCpu = cpuSeconds(RUSAGE_THREAD) - cpuAtStart;
    });

    Result result;
    result.startKiB = residentKiB();
    result.peakKiB = result.startKiB;
    const double processCpuAtStart = cpuSeconds(RUSAGE_SELF);
    const double feederCpuAtStart = cpuSeconds(RUSAGE_THREAD);
    const auto start = std::chrono::steady_clock::now();
    auto next = start;
    while (next - start < duration) {
        // A new buffer each time, as the encoder hands over, so frames held
        // for slow clients show in the memory figures.
        server.send(std::make_shared<const std::vector<std::uint8_t>>(*frame));
        result.peakKiB = std::max(result.peakKiB, residentKiB());
        next += kFrameInterval;
        std::this_thread::sleep_until(next);
    }
    const double seconds = std::chrono::duration<double>(next - start).count();
    const double feederCpu = cpuSeconds(RUSAGE_THREAD) - feederCpuAtStart;
    done = true;
    reading.join();
    const double serverCpu = cpuSeconds(RUSAGE_SELF) - processCpuAtStart - feederCpu - readerCpu;

    const std::size_t partBytes =
        kd::streamPartHead(frame->size()).size() + frame->size() + kd::kStreamPartTail.size();
    double framesDelivered = 0;
    result.slowestClientFps = 1e9;
    for (const std::size_t received : bytes) {
        const double frames = static_cast<double>(received) / static_cast<double>(partBytes);
        framesDelivered += frames;
        result.slowestClientFps = std::min(result.slowestClientFps, frames / seconds);
    }
    result.framesPerClientSecond = framesDelivered / readers / seconds;
    result.serverMicrosecondsPerFrame = serverCpu / framesDelivered * 1e6;

    // Close every client and wait until the server has let go of them.
    readerFds.clear();
    stalledFds.clear();
    for (int i = 0; i < 1000 && server.clientCount() > 0; ++i) {
        server.send(frame);
        std::this_thread::sleep_for(5ms);
    }
    return result;
}

}  // namespace

int main(int argc, char** argv) {
    const std::chrono::seconds duration(argc > 1 ? std::atoi(argv[1]) : 5);
    auto bytes = std::make_shared<std::vector<std::uint8_t>>(kFrameBytes);
    std::mt19937 random(1);
    for (auto& byte : *bytes) byte = static_cast<std::uint8_t>(random());
    const kd::MJPEGServer::Frame frame = bytes;

    kd::MJPEGServer server;
    if (const auto error = server.start(0, kToken)) {
        std::fprintf(stderr, "cannot start: %s\n", error.message().c_str());
        return 1;
    }
    std::printf("%d fps of %zu KB frames, %lld s per run\n", 30, kFrameBytes / 1024,
                static_cast<long long>(duration.count()));
    std::printf("%8s %8s %12s %12s %14s %10s %10s\n", "readers", "stalled", "fps/reader",
                "slowest fps", "server us/frame", "RSS MB", "peak MB");
    for (const int stalled : {0, 5}) {
        for (const int readers : {1, 10, 50}) {
            const Result r = run(server, frame, readers, stalled, duration);
            std::printf("%8d %8d %12.1f %12.1f %14.0f %10.1f %10.1f\n", readers, stalled,
                        r.framesPerClientSecond, r.slowestClientFps, r.serverMicrosecondsPerFrame,
                        r.startKiB / 1024.0, r.peakKiB / 1024.0);
            std::fflush(stdout);
        }
    }
    server.stop();
    return 0;
}
