#include "main/startup.h"

#include <QApplication>
#include <QQuickStyle>

#include <cstdlib>
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
#include "model/user_locale.h"
#include "platform/in_process_notification_center.h"
#include "platform/linux/avahi_dns_sd.h"
#include "platform/linux/curl_http_client.h"
#include "platform/linux/dbus_user_notifications.h"
#include "platform/linux/desktop_url_opener.h"
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
#include "selftest/windows/qt_window_checks.h"
#include "transport/airplay_scanner.h"
#include "transport/host_mac.h"
#include "transport/script_runner.h"
#include "ui/shell/app_delegate.h"
#include "ui/shell/app_theme.h"
#include "ui/shell/qt_appearance.h"
#include "virtual/virtual_display_host.h"

namespace kd {

namespace {

constexpr const char* kProgram = "kelvane-display";

int runApplication(QtEventLoop& loop, const DockState::Ports& dockPorts,
                   VirtualDisplayHost& virtualHost, AppTheme& theme, std::ostream& err,
                   const JsonPreferenceStore& defaults) {
    if (const auto moved = defaults.quarantinedFile()) {
        err << kProgram << ": the settings file could not be read and was moved to " << *moved
            << "; starting with default settings\n";
    }
    BrowserShare share(dockPorts.platform);
    AppDelegate delegate({dockPorts, virtualHost, share, theme, KD_VERSION, userLocaleIdentifier(),
                          macOSVersion(dockPorts.platform.tools), [] { QApplication::beep(); },
                          [&loop] { loop.quit(); }});
    if (!delegate.launch()) {
        err << kProgram << ": the window could not be built\n";
        return 1;
    }
    return loop.run();
}

// Windows need a desktop to show on; Qt would abort without one.
bool hasDesktop() {
    for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        const char* value = std::getenv(variable);
        if (value && *value) return true;
    }
    return false;
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

    const bool windows = options.mode == Options::Mode::application;
    if (windows && !hasDesktop()) {
        err << kProgram
            << ": no desktop to show the window on (neither DISPLAY nor "
               "WAYLAND_DISPLAY is set); try --share\n";
        return 1;
    }
    // The application object exists before anything can post to the main
    // queue, and outlives the scheduler that posts to it.
    std::optional<QtEventLoop> loop;
    if (windows) {
        QApplication::setApplicationName("Kelvane Display");
        QApplication::setDesktopFileName("kelvane-display");
        QQuickStyle::setStyle("Fusion");
        loop.emplace(std::make_unique<QApplication>(argc, argv));
    } else if (!selfTest) {
        loop.emplace(argc, argv);
    }
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
    // The window's appearance and the addresses it opens are this desktop's;
    // everything else keeps to the simulated Mac.
    AppTheme theme;
    std::optional<QtAppearance> windowAppearance;
    std::optional<DesktopUrlOpener> desktopUrls;
    if (windows) {
        windowAppearance.emplace(theme, desktopDarkReader());
        desktopUrls.emplace(err);
    }
    InProcessNotificationCenter notificationCenter(scheduler);
    // Notifications go to the desktop; the self-test's are recorded by the simulated Mac.
    std::optional<DbusUserNotifications> desktopNotifications;
    if (!selfTest) desktopNotifications.emplace(scheduler);
    Platform platform{
        scheduler,
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
        windowAppearance ? static_cast<Appearance&>(*windowAppearance) : mac.appearance(),
        capture,
        mac.screenCapturePermission(),
        interfaces,
        random,
        desktopUrls ? static_cast<UrlOpener&>(*desktopUrls) : mac.urlOpener(),
        desktopNotifications ? static_cast<UserNotifications&>(*desktopNotifications)
                             : mac.userNotifications(),
        notificationCenter,
        resourceFolder(kSoundsFolderName).string()};
    const auto values = createProcessValues(platform.frameworks);

    if (selfTest) {
        SelfTestContext context{platform, *values, standInInterpreter(), qtWindowChecks()};
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
    return runApplication(*loop, dockPorts, virtualHost, theme, err, *defaults);
}

}  // namespace kd
