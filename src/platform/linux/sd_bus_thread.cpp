#include "platform/linux/sd_bus_thread.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <systemd/sd-bus.h>
#include <time.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <memory>
#include <system_error>
#include <utility>

namespace kd {

namespace {

struct CloseBus {
    // Without a flush: a bus that has stopped reading must not hold up the
    // thread that lets go of it.
    void operator()(sd_bus* bus) const { sd_bus_close_unref(bus); }
};
using Bus = std::unique_ptr<sd_bus, CloseBus>;

// sd-bus states its deadlines in microseconds of CLOCK_MONOTONIC.
std::uint64_t monotonicMicroseconds() {
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::uint64_t>(now.tv_sec) * 1'000'000 +
           static_cast<std::uint64_t>(now.tv_nsec) / 1'000;
}

constexpr std::uint64_t kConnectPatienceMicroseconds =
    std::chrono::duration_cast<std::chrono::microseconds>(kConnectPatience).count();

// Opening only starts connecting, so it never waits: a socket nobody listens
// on fails here, one that never answers is caught by the patience.
Bus open(const std::optional<std::string>& address) {
    sd_bus* raw = nullptr;
    if (!address) return Bus(sd_bus_open_user(&raw) >= 0 ? raw : nullptr);
    if (sd_bus_new(&raw) < 0) return nullptr;
    Bus bus(raw);
    if (sd_bus_set_address(raw, address->c_str()) < 0 || sd_bus_set_bus_client(raw, 1) < 0 ||
        sd_bus_start(raw) < 0) {
        return nullptr;
    }
    return bus;
}

// A bus that never stops sending still lets the thread take new work, and
// stop, between turns; what is left is handled on the next.
constexpr int kMessagesPerTurn = 64;

enum class Served { failed, all, more };

// Handles what has arrived.
Served serve(sd_bus* bus) {
    for (int handled = 0; handled < kMessagesPerTurn; ++handled) {
        const int result = sd_bus_process(bus, nullptr);
        if (result < 0 || sd_bus_is_open(bus) <= 0) return Served::failed;
        if (result == 0) return Served::all;
    }
    return Served::more;
}

// Until new work, something for the connection to do, or `until`
// (microseconds of CLOCK_MONOTONIC), whichever comes first.
void waitForEvents(int wake, sd_bus* bus, std::uint64_t until) {
    pollfd watched[2] = {{wake, POLLIN, 0}, {-1, 0, 0}};
    if (bus) {
        watched[1] = {sd_bus_get_fd(bus), static_cast<short>(std::max(sd_bus_get_events(bus), 0)),
                      0};
        std::uint64_t busDeadline = UINT64_MAX;
        if (sd_bus_get_timeout(bus, &busDeadline) >= 0) until = std::min(until, busDeadline);
    }
    int milliseconds = -1;
    if (until != UINT64_MAX) {
        const auto now = monotonicMicroseconds();
        const auto left = until > now ? (until - now + 999) / 1000 : 0;
        milliseconds = static_cast<int>(std::min<std::uint64_t>(left, INT_MAX));
    }
    ::poll(watched, 2, milliseconds);
}

}  // namespace

SdBusThread::SdBusThread(std::optional<std::string> address, Work connected)
    : address_(std::move(address)),
      connected_(std::move(connected)),
      wake_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
    if (!wake_.isOpen()) throw std::system_error(errno, std::generic_category(), "eventfd");
    thread_ = std::thread([this] { run(); });
}

SdBusThread::~SdBusThread() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
        work_.clear();
    }
    const std::uint64_t one = 1;
    [[maybe_unused]] const auto written = ::write(wake_.get(), &one, sizeof one);
    thread_.join();
}

void SdBusThread::post(Work work) {
    {
        const std::lock_guard lock(mutex_);
        if (stopping_) return;
        work_.push_back(std::move(work));
    }
    const std::uint64_t one = 1;
    [[maybe_unused]] const auto written = ::write(wake_.get(), &one, sizeof one);
}

void SdBusThread::run() {
    Bus bus;
    std::uint64_t readyBy = 0;
    for (;;) {
        // Emptied before the work is taken, so that work posted from here on
        // wakes the next wait.
        std::uint64_t wakes = 0;
        [[maybe_unused]] const auto read = ::read(wake_.get(), &wakes, sizeof wakes);
        std::deque<Work> work;
        {
            const std::lock_guard lock(mutex_);
            if (stopping_) return;
            work.swap(work_);
        }
        // A connection that failed while the thread waited is let go before
        // the new work, which then opens a new one.
        if (bus && serve(bus.get()) == Served::failed) bus.reset();
        for (auto& each : work) {
            if (!bus) {
                bus = open(address_);
                if (!bus) continue;
                readyBy = monotonicMicroseconds() + kConnectPatienceMicroseconds;
                if (connected_) connected_(bus.get());
            }
            each(bus.get());
        }
        const auto served = bus ? serve(bus.get()) : Served::all;
        if (served == Served::failed) bus.reset();
        if (served == Served::more) continue;
        const bool waitingForReady = bus && sd_bus_is_ready(bus.get()) <= 0;
        if (waitingForReady && monotonicMicroseconds() >= readyBy) bus.reset();
        waitForEvents(wake_.get(), bus.get(), bus && waitingForReady ? readyBy : UINT64_MAX);
    }
}

}  // namespace kd
