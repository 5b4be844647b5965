#include "platform/sim/sim_control_centre.h"

#include <algorithm>
#include <chrono>
#include <iterator>
#include <utility>

#include "model/device_profile.h"
#include "model/text.h"

namespace kd {
namespace {

// The window server's raw TV connect policies that settle the arrangement
// without asking; every other number asks.
constexpr std::int32_t kEntireScreenPolicy = 1;
constexpr std::int32_t kWindowOrAppPolicy = 2;
constexpr std::int32_t kExtendedPolicy = 4;

// More than the window server ever has online.
constexpr std::size_t kEveryDisplay = 1024;

// What the identifier of an iPad's row holds, as on a Mac.
constexpr const char* kSidecarRowKey = "Sidecar:";

constexpr std::string_view kNotAControlCentreScript =
    "This Mac’s Control Centre only runs its Screen Mirroring and mode-panel scripts.";

std::string upperCased(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](char c) {
        return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    });
    return text;
}

// AppleScript compares text ignoring case unless told otherwise.
bool passes(const MirrorRowFilter& filter, std::string_view identifier) {
    if (!identifier.starts_with(kMirrorRowPrefix)) return false;
    const auto holds = [&](const std::string& key) {
        return containsIgnoringCase(identifier, key);
    };
    return filter.kind == MirrorRowFilter::Kind::containsAny
               ? std::any_of(filter.keys.begin(), filter.keys.end(), holds)
               : std::none_of(filter.keys.begin(), filter.keys.end(), holds);
}

}  // namespace

SimControlCentre::SimControlCentre(const std::vector<ScenarioAirPlayReceiver>& receivers,
                                   const std::vector<ScenarioSidecarDevice>& iPads,
                                   SimWindowServer& windowServer, SimSidecar& sidecar,
                                   PolicyReader tvConnectPolicy, Scheduler& scheduler)
    : windowServer_(windowServer),
      sidecar_(sidecar),
      tvConnectPolicy_(std::move(tvConnectPolicy)),
      scheduler_(scheduler) {
    const auto catalog = buildDeviceProfiles();
    for (const auto& receiver : receivers) {
        Row row;
        row.receiver = receiver;
        row.identifier = std::string(kMirrorRowPrefix) + upperCased(receiver.deviceID);
        row.modes = televisionModes(profile(catalog, receiver.model));
        rows_.push_back(std::move(row));
    }
    for (const auto& iPad : iPads) {
        Row row;
        row.receiver.name = iPad.name;
        row.identifier = std::string(kMirrorRowPrefix) + kSidecarRowKey + iPad.identifier;
        row.sidecarIdentifier = iPad.identifier;
        rows_.push_back(std::move(row));
    }
}

SimControlCentre::~SimControlCentre() {
    const std::lock_guard lock(life_->mutex);
    life_->ended = true;
    for (auto& row : rows_) row.screenTimer.cancel();
}

ScriptAnswer SimControlCentre::run(const std::string& script) {
    const auto recognised = recogniseControlCentreScript(script);
    const std::lock_guard lock(life_->mutex);
    ScriptAnswer answer;
    if (!recognised) {
        answer = syntaxError(script, ScriptSpan{0, script.size()}, kNotAControlCentreScript,
                             kUnknownTokenErrorNumber);
    } else if (const auto* mirror = std::get_if<MirrorToggleScript>(&recognised->action)) {
        answer = toggle(script, *mirror);
    } else {
        answer = answerPanel(std::get<ModePanelScript>(recognised->action));
    }
    received_.push_back({script, answer});
    return answer;
}

// Follows the generated script step by step over the menu's elements.
ScriptAnswer SimControlCentre::toggle(const std::string& script, const MirrorToggleScript& mirror) {
    auto elements = menu(std::nullopt);
    const auto qualifies = [&](const MenuElement& e) {
        return passes(mirror.filter, e.identifier);
    };
    const auto firstQualifying = [&](Element kind) {
        return std::find_if(elements.begin(), elements.end(),
                            [&](const MenuElement& e) { return e.kind == kind && qualifies(e); });
    };
    const bool already = firstQualifying(Element::disclosureTriangle) != elements.end();

    bool clicked = false;
    if (mirror.connects) {
        if (already) {
            clicked = true;
        } else if (const auto box = firstQualifying(Element::checkBox); box != elements.end()) {
            click(*box);
            clicked = true;
        }
    } else if (!already) {
        clicked = true;
    } else {
        const auto triangle = firstQualifying(Element::disclosureTriangle);
        click(*triangle);
        elements = menu(triangle->row);
        std::vector<MenuElement> buttons;
        std::copy_if(elements.begin(), elements.end(), std::back_inserter(buttons),
                     [&](const MenuElement& e) {
                         return e.kind != Element::checkBox &&
                                e.kind != Element::disclosureTriangle && qualifies(e);
                     });
        if (!buttons.empty()) {
            click(buttons.back());
            clicked = true;
        } else if (const auto box = firstQualifying(Element::checkBox); box != elements.end()) {
            click(*box);
            clicked = true;
        }
    }
    if (!clicked) {
        return executionError(script, mirror.notFoundError, kDeviceNotFoundMessage,
                              kRaisedErrorNumber);
    }
    return ScriptAnswer{};
}

ScriptAnswer SimControlCentre::answerPanel(const ModePanelScript& panel) {
    if (asking_.empty()) return returnedText("none");
    const auto row = asking_.front();
    const auto& title = rows_[row].receiver.name;
    if (!title.empty() && !panel.deviceName.empty() &&
        !containsIgnoringCase(title, panel.deviceName)) {
        return returnedText("other:" + title);
    }
    // The cards run entire screen, window or app, extend: the leftmost card
    // mirrors, the rightmost extends. Confirming closes the panel.
    asking_.pop_front();
    arrange(row, !panel.picksRightmostCard);
    return returnedText("chose");
}

std::vector<SimControlCentre::MenuElement> SimControlCentre::menu(
    std::optional<std::size_t> expanded) const {
    std::vector<MenuElement> elements;
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        const auto& id = rows_[i].identifier;
        if (!isConnected(rows_[i])) {
            elements.push_back({id, Element::checkBox, i});
            continue;
        }
        elements.push_back({id, Element::disclosureTriangle, i});
        if (expanded == i) {
            elements.push_back({id + "-mirror", Element::mirrorButton, i});
            elements.push_back({id + "-extend", Element::extendButton, i});
            elements.push_back({id + "-disconnect", Element::stopButton, i});
        }
    }
    return elements;
}

void SimControlCentre::click(const MenuElement& element) {
    switch (element.kind) {
        case Element::checkBox:
            connect(element.row);
            break;
        case Element::disclosureTriangle:
            break;  // expands the row: the menu lists its buttons from now on
        case Element::mirrorButton:
            arrange(element.row, true);
            break;
        case Element::extendButton:
            arrange(element.row, false);
            break;
        case Element::stopButton:
            disconnect(element.row);
            break;
    }
}

bool SimControlCentre::isConnected(const Row& row) const {
    return row.sidecarIdentifier.empty() ? row.connected
                                         : sidecar_.connectedByIdentifier(row.sidecarIdentifier);
}

void SimControlCentre::connect(std::size_t index) {
    auto& row = rows_[index];
    if (!row.sidecarIdentifier.empty()) {
        sidecar_.connectFromMenu(row.sidecarIdentifier);
        return;
    }
    row.connected = true;
    row.connection = nextConnection_++;
    const auto policy = tvConnectPolicy_();
    if (row.receiver.mirrorsInsteadOfExtending || policy == kEntireScreenPolicy ||
        policy == kWindowOrAppPolicy) {
        row.mirrors = true;
    } else if (policy == kExtendedPolicy) {
        row.mirrors = false;
    } else {
        row.mirrors = true;
        asking_.push_back(index);
    }
    row.screenTimer =
        scheduler_.after(std::chrono::milliseconds(row.receiver.connectDelayMs),
                         Queue::serial(kSimControlCentreQueueLabel),
                         [life = std::weak_ptr(life_), this, index, connection = row.connection] {
                             const auto alive = life.lock();
                             if (!alive) return;
                             const std::lock_guard lock(alive->mutex);
                             if (!alive->ended) bringUpScreen(index, connection);
                         });
}

void SimControlCentre::bringUpScreen(std::size_t index, std::uint64_t connection) {
    auto& row = rows_[index];
    if (!row.connected || row.connection != connection || row.display != 0) return;

    const auto ids = windowServer_.onlineDisplayList(kEveryDisplay);
    DisplayID id = ids.empty() ? 1 : *std::max_element(ids.begin(), ids.end()) + 1;
    while (id == 0 || std::find(ids.begin(), ids.end(), id) != ids.end()) ++id;

    ScenarioDisplay screen;
    screen.id = id;
    screen.name = row.receiver.name;
    screen.modes = row.modes.modes;
    screen.currentMode = row.modes.currentMode;
    if (const auto* mode = currentModeOf(screen)) {
        screen.bounds.width = mode->width;
        screen.bounds.height = mode->height;
    }
    const auto main = mainDisplay();
    const auto mainBounds = windowServer_.bounds(main);
    screen.bounds.y = mainBounds.y;
    if (row.mirrors && main != 0) {
        screen.mirrorOf = main;
        screen.active = false;
        screen.bounds.x = mainBounds.x;
    } else {
        const auto screens = windowServer_.screens();
        for (const auto& other : screens) {
            screen.bounds.x = std::max(screen.bounds.x, other.frame.maxX());
        }
    }
    row.display = id;
    windowServer_.plugIn(std::move(screen));
}

void SimControlCentre::arrange(std::size_t index, bool mirrors) {
    auto& row = rows_[index];
    if (!row.sidecarIdentifier.empty()) return;
    row.mirrors = mirrors;
    if (row.display != 0) windowServer_.setMirror(row.display, mirrors ? mainDisplay() : 0);
}

void SimControlCentre::disconnect(std::size_t index) {
    auto& row = rows_[index];
    if (!row.sidecarIdentifier.empty()) {
        sidecar_.disconnectFromMenu(row.sidecarIdentifier);
        return;
    }
    row.screenTimer.cancel();
    row.connected = false;
    std::erase(asking_, index);
    if (row.display != 0) windowServer_.unplug(std::exchange(row.display, 0));
}

// The display at the origin, as the window server places its main display.
DisplayID SimControlCentre::mainDisplay() const {
    const auto ids = windowServer_.onlineDisplayList(kEveryDisplay);
    for (const auto id : ids) {
        const auto bounds = windowServer_.bounds(id);
        if (windowServer_.mirrorsDisplay(id) == 0 && bounds.x == 0 && bounds.y == 0) return id;
    }
    return ids.empty() ? 0 : ids.front();
}

std::vector<std::string> SimControlCentre::connectedRows() const {
    const std::lock_guard lock(life_->mutex);
    std::vector<std::string> out;
    for (const auto& row : rows_) {
        if (isConnected(row)) out.push_back(row.identifier);
    }
    return out;
}

bool SimControlCentre::panelShowing() const {
    const std::lock_guard lock(life_->mutex);
    return !asking_.empty();
}

std::vector<SimControlCentre::ReceivedScript> SimControlCentre::receivedScripts() const {
    const std::lock_guard lock(life_->mutex);
    return received_;
}

}  // namespace kd
