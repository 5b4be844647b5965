#include "main/startup.h"

#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <system_error>

#include "dock/dock_state.h"
#include "main/arguments.h"
#include "main/flow_command.h"
#include "main/list_command.h"
#include "main/resource_folders.h"
#include "main/share_command.h"
#include "main/stand_in_interpreter.h"
#include "main/xvfb_pixel_source.h"
#include "model/process_values.h"
#include "platform/in_process_notification_center.h"
#include "platform/linux/avahi_dns_sd.h"
#include "platform/linux/curl_http_client.h"
#include "platform/linux/dbus_user_notifications.h"
#include "platform/linux/getrandom_source.h"
#include "platform/linux/ifaddrs_interfaces.h"
#include "platform/linux/json_preference_store.h"
#include "platform/linux/pulse_sound_player.h"
#include "platform/linux/thread_scheduler.h"
#include "platform/linux/x11_screen_capture.h"
#include "platform/linux/xvfb_screen.h"
#include "platform/qt/qt_event_loop.h"
#include "platform/qt/qt_main_loop.h"
#include "platform/sim/scripting/control_centre_wire.h"
#include "platform/sim/sim_control_centre_socket.h"
#include "platform/sim/sim_mac.h"
#include "selftest/self_test_runner.h"
#include "transport/airplay_scanner.h"
#include "transport/script_runner.h"
#include "virtual/virtual_display_host.h"

namespace kd {

namespace {

constexpr const char* kProgram = "kelvane-display";

int runApplication(QtEventLoop& loop, const SimMac& mac, const ScriptInterpreter& scripts,
                   const DockState::Ports& dockPorts, std::ostream& out, std::ostream& err,
                   const JsonPreferenceStore& defaults) {
    if (const auto moved = defaults.quarantinedFile()) {
        err << kProgram << ": the settings file could not be read and was moved to " << *moved
            << "; starting with default settings\n";
    }
    const auto& scenario = mac.scenario();
    out << "Kelvane Display " << KD_VERSION << " is running without a window on the simulated "
        << scenario.mac.name << " (" << scenario.mac.model << ", " << scenario.displays.size()
        << (scenario.displays.size() == 1 ? " display" : " displays")
        << "). Press Ctrl+C to quit.\n";
    out << "Scripts run with " << scripts.path;
    for (const auto& [name, value] : scripts.environment) {
        if (name == kControlCentreSocketVariable) {
            out << "; the simulated Control Centre listens on " << value;
        }
    }
    out << ".\n";
    out.flush();
    // The dock controller works from the first turn of the event loop: it
    // scans, reconciles and brings a dropped iPad back, window or not.
    std::unique_ptr<DockState> dock;
    dockPorts.platform.scheduler.post(Queue::main(), [&] { dock = DockState::start(dockPorts); });
    const int status = loop.run();
    dock.reset();
    out << "Kelvane Display stopped.\n";
    return status;
}

// The self-test runs before any event loop exists and must not start work
// that would need one; reaching for the main queue there is a programming error.
void noMainQueue(std::function<void()>) {
    throw std::logic_error("the self-test has no main queue");
}

}  // namespace

int runProgram(int argc, char** argv, std::ostream& out, std::ostream& err) {
    const std::vector<std::string> arguments(argv, argv + argc);
    const auto parsed = parseArguments(arguments);
    if (const auto* error = std::get_if<ArgumentError>(&parsed)) {
        err << kProgram << ": " << error->message << "\nTry '" << kProgram
            << " --help' for more information.\n";
        return 2;
    }
    const auto& options = std::get<Options>(parsed);
    const bool selfTest = options.mode == Options::Mode::selfTest;
    for (const auto& problem : options.ignored) {
        err << kProgram << ": " << problem << " (ignored: the self-test runs anyway)\n";
    }
    if (options.mode == Options::Mode::help) {
        out << usageText();
        return 0;
    }
    if (options.mode == Options::Mode::version) {
        out << "kelvane-display " << KD_VERSION << '\n';
        return 0;
    }

    Scenario scenario;
    try {
        scenario =
            options.scenarioPath ? loadScenarioFile(*options.scenarioPath) : defaultScenario();
    } catch (const ScenarioError& error) {
        err << kProgram << ": " << error.what() << '\n';
        if (!selfTest) return 2;
        err << kProgram << ": the self-test runs on the built-in Mac instead\n";
        scenario = defaultScenario();
    }

    std::unique_ptr<JsonPreferenceStore> defaults;
    try {
        defaults = std::make_unique<JsonPreferenceStore>(preferenceFilePath(kUserDefaultsDomain));
    } catch (const std::exception& error) {
        err << kProgram << ": cannot open the settings: " << error.what() << '\n';
        return 2;
    }

    // The application object exists before anything can post to the main
    // queue, and outlives the scheduler that posts to it.
    std::optional<QtEventLoop> loop;
    if (!selfTest) loop.emplace(argc, argv);
    ThreadScheduler scheduler(loop ? qtMainLoopPoster() : MainLoopPoster(noMainQueue));
    std::optional<SimMac> simulated;
    try {
        simulated.emplace(std::move(scenario), scheduler);
    } catch (const std::system_error& error) {
        err << kProgram << ": " << error.what() << '\n';
        return 2;
    }
    SimMac& mac = *simulated;
    CurlHttpClient http;
    // The real network's receivers, when the scenario asks for them. The
    // self-test never looks at a network, and starts no threads for one.
    std::unique_ptr<AvahiDnsSd> realNetwork;
    SimDnsSd noReceivers({}, scheduler);
    DnsSd* network = &mac.network();
    if (!selfTest && mac.scenario().network == ScenarioNetwork::dnsSd) {
        std::string failure;
        realNetwork = AvahiDnsSd::connect(scheduler, failure);
        if (realNetwork) {
            network = realNetwork.get();
        } else {
            err << kProgram << ": the local network cannot be searched: " << failure << '\n';
            if (options.mode == Options::Mode::list) return 1;
            network = &noReceivers;
        }
    }
    // Sounds are real, through the session's audio server; the forced
    // appearance is the simulated Mac's until windows exist to show it.
    PulseSoundPlayer sound(scheduler, resourceFolder(kSystemSoundsFolderName).string());
    // Displays behind an Xvfb are captured from it; the others show the
    // simulated Mac's generated picture.
    X11ScreenCapture capture(
        scheduler, [&mac](DisplayID id) { return mac.virtualDisplays().xDisplayName(id); },
        mac.screenCapture());
    IfaddrsInterfaces interfaces;
    GetrandomSource random;
    InProcessNotificationCenter notificationCenter(scheduler);
    // Notifications go to the desktop; the self-test's are recorded by the simulated Mac.
    std::optional<DbusUserNotifications> desktopNotifications;
    if (!selfTest) desktopNotifications.emplace(scheduler);
    Platform platform{scheduler,
                      mac.windowServer(),
                      mac.virtualDisplays(),
                      mac.frameworks(),
                      mac.accessibility(),
                      mac.typeDatabase(),
                      *defaults,
                      mac.sidecarSettings(),
                      mac.tools(),
                      *network,
                      http,
                      mac.workspace(),
                      sound,
                      mac.appearance(),
                      capture,
                      mac.screenCapturePermission(),
                      interfaces,
                      random,
                      mac.urlOpener(),
                      desktopNotifications ? static_cast<UserNotifications&>(*desktopNotifications)
                                           : mac.userNotifications(),
                      notificationCenter,
                      resourceFolder(kSoundsFolderName).string()};
    const auto values = createProcessValues(platform.frameworks);

    if (selfTest) {
        SelfTestContext context{platform, *values, standInInterpreter()};
        return runSelfTest(context, out, err);
    }
    if (options.mode == Options::Mode::list) {
        return runListCommand(platform, *values, *loop, options.wait.value_or(kScanWindow),
                              options.json, out);
    }

    // The application's scripts act on this Mac's Control Centre. Without the
    // socket they still run, answering as on a Mac whose menu lacks the device.
    std::optional<SimControlCentreSocket> controlCentre;
    auto scripts = standInInterpreter();
    // Commands run with administrator privileges act on this Mac's power management.
    scripts.environment.push_back(mac.powerManager().interpreterVariable());
    try {
        controlCentre.emplace(mac.controlCentre(), scheduler);
        scripts.environment.emplace_back(kControlCentreSocketVariable, controlCentre->path());
    } catch (const std::system_error& error) {
        err << kProgram << ": scripts cannot reach the simulated Control Centre: " << error.what()
            << '\n';
    }
    // Where Xvfb is installed, every virtual display is an X screen that
    // programs can draw on; elsewhere it has no pixels of its own.
    if (!XvfbScreen::program().empty()) {
        mac.virtualDisplays().usePixelSource(
            std::make_shared<XvfbPixelSource>([&err](const std::string& failure) {
                err << kProgram << ": the virtual display has no pixels: " << failure << '\n';
            }));
    }
    // Declared before the dock's ports: the dock reads its identity, so it
    // must outlive the dock.
    VirtualDisplayHost virtualHost(platform);
    const DockState::Ports dockPorts{
        platform, *values, virtualHost.identity(),
        [&scripts](const std::string& script) { return runAppleScript(scripts, script); }};
    if (options.mode == Options::Mode::share) {
        const ShareCommandPorts sharePorts{
            platform, virtualHost,
            [&mac](DisplayID id) { return mac.virtualDisplays().xDisplayName(id); },
            !XvfbScreen::program().empty()};
        return runShareCommand(sharePorts, *loop, options.shareSize, out, err);
    }
    if (options.mode == Options::Mode::flows) {
        // With --json the status lines are messages, kept off the JSON.
        return runFlowCommand(dockPorts, *loop, options.actions, options.json, out,
                              options.json ? err : out, err);
    }
    return runApplication(*loop, mac, scripts, dockPorts, out, err, *defaults);
}

}  // namespace kd
