#include "main/flow_command.h"

#include <nlohmann/json.hpp>

#include <cmath>
#include <map>
#include <memory>

#include "display/device_prefs.h"
#include "display/inventory.h"
#include "dock/connections.h"
#include "model/text.h"

namespace kd {

std::optional<Device> deviceNamed(const std::vector<Device>& devices, const std::string& name) {
    for (const auto& device : devices) {
        if (device.name == name) return device;
    }
    const auto wanted = lowercased(name);
    for (const auto& device : devices) {
        if (lowercased(device.name) == wanted) return device;
    }
    return std::nullopt;
}

bool actionSucceeded(const FlowAction& action, Side side, const Device& device,
                     const DockState& state) {
    const bool connected = state.connectedKeys.get().contains(device.id);
    const bool mirroring = state.mirroredKeys.get().contains(device.id);
    switch (action.kind) {
        case FlowAction::Kind::connect: {
            const auto& occupied = state.occupied.get();
            const auto held = occupied.find(device.id);
            return connected && !mirroring && held != occupied.end() && held->second == side;
        }
        case FlowAction::Kind::mirror:
            return mirroring;
        case FlowAction::Kind::disconnect:
            return !connected;
    }
    return false;
}

namespace {

// Screens sit on whole points; say so rather than print "1512.0".
nlohmann::ordered_json whole(double value) {
    const auto rounded = std::llround(value);
    if (static_cast<double>(rounded) == value) return rounded;
    return value;
}

}  // namespace

std::string screensJson(const DockState& state, const DisplayServices& displays,
                        const VirtualDisplayIdentity& virtualDisplay) {
    const auto connections =
        readConnections(displays, virtualDisplay, state.scanner.devices.get(),
                        state.connectedKeys.get(), state.busyKey.get(), state.recentKeys);
    std::map<DisplayID, std::string> owners;
    for (const auto& [key, id] : connections.screens) owners[id] = key;
    std::map<DisplayID, std::string> names;
    for (const auto& screen : displays.screens()) {
        if (screen.screenNumber) names[*screen.screenNumber] = screen.localizedName;
    }
    auto screens = nlohmann::ordered_json::array();
    for (const auto id : onlineDisplays(displays)) {
        const auto bounds = displays.bounds(id);
        const auto master = displays.mirrorsDisplay(id);
        const auto owner = virtualDisplay.isVirtual(id)
                               ? std::optional<std::string>(kVirtualDeviceID)
                           : owners.contains(id) ? std::optional(owners.at(id))
                                                 : std::nullopt;
        screens.push_back(
            {{"id", id},
             {"name", names.contains(id) ? names.at(id) : ""},
             {"bounds",
              {whole(bounds.x), whole(bounds.y), whole(bounds.width), whole(bounds.height)}},
             {"builtIn", displays.isBuiltin(id)},
             {"mirrorOf", master != 0 ? nlohmann::ordered_json(master) : nullptr},
             {"device", owner ? nlohmann::ordered_json(*owner) : nullptr}});
    }
    nlohmann::ordered_json result{{"screens", screens}};
    return result.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
}

namespace {

constexpr const char* kProgram = "kelvane-display";

// Runs the actions one after another on the main queue, each when the one
// before has ended.
class FlowRunner {
  public:
    FlowRunner(DockState::Ports ports, QtEventLoop& loop, const std::vector<FlowAction>& actions,
               bool json, std::ostream& out, std::ostream& status, std::ostream& err)
        : ports_(std::move(ports)),
          loop_(loop),
          actions_(actions),
          json_(json),
          out_(out),
          err_(err),
          state_(DockState::start(ports_)) {
        statusLines_ = state_->status.subscribe([&status](const std::string& text) {
            if (text.empty()) return;
            status << text << '\n';
            status.flush();
        });
        devicesFound_ = state_->scanner.devices.subscribe([this](const std::vector<Device>&) {
            if (everyNameFound()) afterThis([this] { scanned(); });
        });
        scanEnded_ = state_->scanner.scanning.subscribe([this](bool scanning) {
            if (!scanning) afterThis([this] { scanned(); });
        });
    }

    int exitStatus() const { return exitStatus_; }

  private:
    // Runs `task` on the main queue once the change being told has been
    // told to everybody.
    void afterThis(std::function<void()> task) {
        ports_.platform.scheduler.post(Queue::main(), std::move(task));
    }

    bool everyNameFound() const {
        return std::ranges::all_of(actions_, [this](const FlowAction& action) {
            return deviceNamed(state_->scanner.devices.get(), action.name).has_value();
        });
    }

    void scanned() {
        if (started_) return;
        started_ = true;
        devicesFound_.reset();
        scanEnded_.reset();
        const auto& devices = state_->scanner.devices.get();
        for (const auto& action : actions_) {
            if (auto device = deviceNamed(devices, action.name)) {
                devices_.push_back(std::move(*device));
                continue;
            }
            std::string found;
            for (const auto& device : devices) found += (found.empty() ? "" : ", ") + device.name;
            err_ << kProgram << ": no device named '" << action.name << "' was found; "
                 << (found.empty() ? "none was found" : "found: " + found) << '\n';
            finish(2);
            return;
        }
        // What is on screen already decides whether a connect only moves.
        state_->reconcile();
        run(0);
    }

    void run(std::size_t index) {
        if (index == actions_.size()) {
            if (json_) {
                out_ << screensJson(*state_, ports_.platform.displays, ports_.virtualDisplay);
                out_.flush();
            }
            finish(allSucceeded_ ? 0 : 1);
            return;
        }
        const auto& action = actions_[index];
        const auto& device = devices_[index];
        const auto side = action.side.value_or(
            savedSide(ports_.platform.userDefaults, device.id).value_or(Side::right));
        switch (action.kind) {
            case FlowAction::Kind::connect:
                state_->connect(device, side);
                break;
            case FlowAction::Kind::mirror:
                state_->mirror(device);
                break;
            case FlowAction::Kind::disconnect:
                state_->disconnect(device);
                break;
        }
        const auto ended = [this, index, side] {
            // The flow's completion goes on after releasing busy; judge
            // once it has finished.
            afterThis([this, index, side] {
                allSucceeded_ = actionSucceeded(actions_[index], side, devices_[index], *state_) &&
                                allSucceeded_;
                run(index + 1);
            });
        };
        if (!state_->busy.get()) {
            ended();
            return;
        }
        busyEnded_ = state_->busy.subscribe([this, ended](bool busy) {
            if (busy) return;
            busyEnded_.reset();
            ended();
        });
    }

    void finish(int status) {
        exitStatus_ = status;
        loop_.quit();
    }

    DockState::Ports ports_;
    QtEventLoop& loop_;
    const std::vector<FlowAction>& actions_;
    const bool json_;
    std::ostream& out_;
    std::ostream& err_;
    std::unique_ptr<DockState> state_;
    std::vector<Device> devices_;  // one per action
    bool started_ = false;
    bool allSucceeded_ = true;
    int exitStatus_ = 1;
    Published<std::string>::Subscription statusLines_;
    Published<std::vector<Device>>::Subscription devicesFound_;
    Published<bool>::Subscription scanEnded_;
    Published<bool>::Subscription busyEnded_;
};

}  // namespace

int runFlowCommand(DockState::Ports ports, QtEventLoop& loop,
                   const std::vector<FlowAction>& actions, bool json, std::ostream& out,
                   std::ostream& status, std::ostream& err) {
    std::unique_ptr<FlowRunner> runner;
    ports.platform.scheduler.post(Queue::main(), [&] {
        runner = std::make_unique<FlowRunner>(ports, loop, actions, json, out, status, err);
    });
    loop.run();
    return runner ? runner->exitStatus() : 1;
}

}  // namespace kd
