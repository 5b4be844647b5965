#include "lid/lid_guard.h"

#include <limits>

#include "lid/lid_scripts.h"
#include "lid/power_readings.h"
#include "lid/text_file.h"

namespace kd {

namespace {

int storedLimit(const PreferenceReader& defaults) {
    const auto stored = defaults.integer(LidGuard::limitKey);
    if (!stored || *stored < std::numeric_limits<int>::min() ||
        *stored > std::numeric_limits<int>::max()) {
        return LidGuard::defaultLimit;
    }
    return static_cast<int>(*stored);
}

std::string configText(int limit) {
    return std::to_string(limit) + "\n";
}

}  // namespace

const std::vector<LidGuard::Level>& LidGuard::levels() {
    static const std::vector<Level> kLevels{
        {45, "Safe", "sleeps early \u2014 for a bag or a hot room"},
        {52, "Balanced", "renders and exports on a desk"},
        {58, "Max", "only on a stand, with air around the Mac"},
    };
    return kLevels;
}

std::string lidStatusText(const AdminResult& result) {
    if (result.ok) return {};
    if (result.err.empty() || result.err.find("-128") != std::string::npos) {
        return "Cancelled \u2014 this needs the administrator password";
    }
    return "Didn't work: " + result.err;
}

LidGuard::LidGuard(Ports ports, LidPaths paths)
    : ports_(std::move(ports)),
      paths_(std::move(paths)),
      limit_(storedLimit(ports_.userDefaults)) {}

void LidGuard::setLimit(int celsius) {
    limit_.set(celsius);
    ports_.userDefaults.set(limitKey, PrefValue(std::int64_t{celsius}));
    writeTextFile(paths_.configFile, configText(celsius));
}

LidGuard::Reading LidGuard::readPowerState(const SystemTools& tools, const std::string& tempFile) {
    Reading reading;
    reading.awake = sleepDisabled(tools);
    std::optional<int> fromWatchdog;
    if (reading.awake) {
        if (const auto text = readTextFile(tempFile)) fromWatchdog = temperatureFileReading(*text);
    }
    reading.tempC = fromWatchdog ? *fromWatchdog : batteryTempC(tools);
    return reading;
}

void LidGuard::refresh() {
    if (reading_) {
        readAgain_ = true;
        return;
    }
    reading_ = true;
    auto& scheduler = ports_.scheduler;
    scheduler.post(Queue::background(),
                   [this, &scheduler, &tools = ports_.tools, tempFile = paths_.tempFile,
                    alive = std::weak_ptr<int>(alive_)] {
                       const auto reading = readPowerState(tools, tempFile);
                       scheduler.post(Queue::main(), [this, alive, reading] {
                           if (!alive.expired()) published(reading);
                       });
                   });
}

void LidGuard::published(const Reading& reading) {
    awake_.set(reading.awake);
    tempC_.set(reading.tempC);
    reading_ = false;
    if (readAgain_) {
        readAgain_ = false;
        refresh();
    }
}

void LidGuard::setAwake(bool on) {
    if (busy_.get()) return;
    busy_.set(true);
    status_.set(on ? "Turning on \u2014 macOS asks for your password once\u2026"
                   : "Turning off\u2026");
    auto& scheduler = ports_.scheduler;
    scheduler.post(Queue::background(), [this, on, &scheduler, paths = paths_, limit = limit_.get(),
                                         admin = ports_.admin, alive = std::weak_ptr<int>(alive_)] {
        AdminResult result;
        if (on) {
            // A file that cannot be written makes the copy step fail, and
            // that failure is what the user is shown.
            writeTextFile(paths.configFile, configText(limit));
            writeTextFile(paths.watchdogFile, watchdogScript(paths));
            writeTextFile(paths.plistSrc, daemonPlist(paths));
            result = admin(enableCommand(paths));
        } else {
            result = admin(disableCommand(paths));
        }
        scheduler.post(Queue::main(), [this, alive, result] {
            if (!alive.expired()) finish(result);
        });
    });
}

void LidGuard::finish(const AdminResult& result) {
    busy_.set(false);
    status_.set(lidStatusText(result));
    refresh();
}

void LidGuard::sleepNow() {
    if (busy_.get()) return;
    busy_.set(true);
    status_.set("Going to sleep\u2026");
    auto& scheduler = ports_.scheduler;
    scheduler.post(Queue::background(), [this, &scheduler, command = sleepNowCommand(paths_),
                                         admin = ports_.admin, alive = std::weak_ptr<int>(alive_)] {
        admin(command);
        scheduler.post(Queue::main(), [this, alive] {
            if (alive.expired()) return;
            busy_.set(false);
            status_.set("");
            refresh();
        });
    });
}

}  // namespace kd
