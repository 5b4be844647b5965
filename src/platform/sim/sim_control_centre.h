#pragma once

// The simulated Control Centre: the Screen Mirroring menu, one row per AirPlay
// receiver of the scenario, and the AirPlay mode panel of
// "ControlCenterHelper". It runs the generated Screen Mirroring and mode-panel
// scripts as System Events would on a Mac: what the script would click is
// clicked, and the answer is what osascript would print.
//
// The menu. A row's accessibility identifier is "screen-mirroring-device-"
// followed by the receiver's deviceID, upper-cased. An unconnected row is an
// unchecked "AXCheckBox"; clicking it connects. A connected row (from the
// click on, before its screen is up) is a collapsed "AXDisclosureTriangle";
// expanding it reveals three "AXButton"s, the row's identifier followed by
// "-mirror", "-extend" and "-disconnect".
//
// Sidecar rows. After the receivers' rows, one row per iPad of the scenario,
// its identifier the prefix followed by "Sidecar:" and the iPad's
// identifier. Clicking it, or its stop button, connects or disconnects the
// iPad through the simulated Sidecar, which brings its screen up or takes it
// away; such a row is connected while Sidecar connects or shows the iPad,
// however that began. Its mirror and extend buttons change nothing: Sidecar
// always extends.
//
// A connection. The receiver's screen is plugged into the window server
// `connectDelayMs` after the click, named after the receiver, with the
// modes of its model (television_modes.h). It extends the desktop to the
// right of the screens there, or mirrors the main display (the one at the
// origin), as the window server's TV connect policy says when the row is
// clicked:
// - 4 (extended): extends;
// - 1 (entire screen): mirrors;
// - 2 (window or app): mirrors, without asking. Of the two arrangements a
//   screen can have, a television that shows one window or app is closer to
//   a mirror: it adds no desktop to place windows on. The program's own
//   flows never set this policy, so it only comes from a scenario;
// - 0 (ask), or a number that is no policy: the mode panel shows and the
//   screen comes up mirrored until the extend card is confirmed.
// A receiver that `mirrorsInsteadOfExtending` always mirrors and never asks.
//
// The mode panel. Shown from the click of a row that asks until the panel is
// answered or the row disconnected; several rows that ask are asked about in
// the order they were clicked. Its title is the receiver's name; its group
// holds three large cards left to right (entire screen, window or app,
// extend) and the confirm button last.
//
// Time a script would spend waiting (its delays, the panel script's wait
// ticks) is not spent: each script is answered at once, from the state of
// the menu and panel at that moment.
//
// Thread-safe. Screens come and go on the queue labelled
// kSimControlCentreQueueLabel; nothing calls back into the caller.

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/scheduler.h"
#include "platform/sim/scenario.h"
#include "platform/sim/scripting/control_centre_script.h"
#include "platform/sim/scripting/script_answer.h"
#include "platform/sim/sim_sidecar.h"
#include "platform/sim/sim_window_server.h"
#include "platform/sim/television_modes.h"

namespace kd {

inline constexpr const char* kSimControlCentreQueueLabel = "com.kelvane1.display.sim.controlcentre";

class SimControlCentre {
  public:
    // Reads the window server's TV connect policy as a raw number.
    using PolicyReader = std::function<std::int32_t()>;

    // `windowServer`, `sidecar` and `scheduler` must outlive this object.
    SimControlCentre(const std::vector<ScenarioAirPlayReceiver>& receivers,
                     const std::vector<ScenarioSidecarDevice>& iPads, SimWindowServer& windowServer,
                     SimSidecar& sidecar, PolicyReader tvConnectPolicy, Scheduler& scheduler);
    ~SimControlCentre();
    SimControlCentre(const SimControlCentre&) = delete;
    SimControlCentre& operator=(const SimControlCentre&) = delete;

    // Runs one script the way osascript would run it on this Mac. A script
    // that is neither of the two generated ones is answered with a syntax
    // error, status 1, and changes nothing.
    ScriptAnswer run(const std::string& script);

    // Simulator controls.
    struct ReceivedScript {
        std::string text;
        ScriptAnswer answer;
    };
    // Identifiers of the connected rows, in menu order.
    std::vector<std::string> connectedRows() const;
    bool panelShowing() const;
    // Every script run, in order.
    std::vector<ReceivedScript> receivedScripts() const;

  private:
    enum class Element { checkBox, disclosureTriangle, mirrorButton, extendButton, stopButton };
    struct Row {
        ScenarioAirPlayReceiver receiver;
        std::string identifier;
        TelevisionModes modes;
        bool connected = false;
        bool mirrors = false;  // how its screen is, or will be, arranged
        DisplayID display = 0;
        std::uint64_t connection = 0;  // tells a stale timer from the current one
        TimerHandle screenTimer;
        std::string sidecarIdentifier;  // an iPad's row: Sidecar connects it
    };
    struct MenuElement {
        std::string identifier;
        Element kind;
        std::size_t row;
    };
    // Shared with the timers, which may outlive this object.
    struct Life {
        std::mutex mutex;
        bool ended = false;
    };

    ScriptAnswer toggle(const std::string& script, const MirrorToggleScript& mirror);
    ScriptAnswer answerPanel(const ModePanelScript& panel);
    std::vector<MenuElement> menu(std::optional<std::size_t> expanded) const;
    void click(const MenuElement& element);
    void connect(std::size_t row);
    void bringUpScreen(std::size_t row, std::uint64_t connection);
    void arrange(std::size_t row, bool mirrors);
    void disconnect(std::size_t row);
    DisplayID mainDisplay() const;
    bool isConnected(const Row& row) const;

    SimWindowServer& windowServer_;
    SimSidecar& sidecar_;
    PolicyReader tvConnectPolicy_;
    Scheduler& scheduler_;
    std::shared_ptr<Life> life_ = std::make_shared<Life>();
    // Guarded by life_->mutex.
    std::vector<Row> rows_;
    std::deque<std::size_t> asking_;  // rows waiting for the panel's answer
    std::uint64_t nextConnection_ = 1;
    std::vector<ReceivedScript> received_;
};

}  // namespace kd
