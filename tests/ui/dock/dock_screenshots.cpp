#include "dock_screenshots.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <cstdio>
#include <functional>
#include <utility>
#include <vector>

#include "dock_fixture.h"
#include "support/qt_on_xvfb.h"

namespace kd {

namespace {

using namespace std::chrono_literals;

struct Shot {
    const char* name;
    std::function<Scenario()> scenario;
    std::function<void(DockFixture&)> arrange;
    // What is done in the window once it shows.
    std::function<void(DockFixture&, DockViewWindow&)> open = [](DockFixture&, DockViewWindow&) {};
};

const Shot kShots[] = {
    {"no-devices", scenarioWithoutDevices, [](DockFixture& f) { f.advance(kScanWindow); }},
    {"empty", defaultScenario, [](DockFixture&) {}},
    {"ipad-right", defaultScenario,
     [](DockFixture& f) {
         f.viewModel->place("sidecar", "right");
         f.advance(10s);
     }},
    {"mac-modes", defaultScenario, [](DockFixture&) {},
     [](DockFixture&, DockViewWindow& window) { window.click(window.item("macModes")); }},
    {"ipad-settings", defaultScenario,
     [](DockFixture& f) {
         f.viewModel->place("sidecar", "right");
         f.advance(10s);
     },
     [](DockFixture&, DockViewWindow& window) {
         window.click(window.item("deviceRow_sidecar", "displaySettings"));
     }},
    {"tv-settings", defaultScenario, [](DockFixture&) {},
     [](DockFixture& f, DockViewWindow& window) {
         const auto row = "deviceRow_" + QString::fromStdString(f.harness.device("Living Room").id);
         window.click(window.item(row, "displaySettings"));
     }},
    {"status-and-banner",
     [] {
         auto scenario = defaultScenario();
         scenario.accessibilityTrusted = false;
         return scenario;
     },
     [](DockFixture& f) {
         const auto tv = f.harness.device("Living Room");
         f.state().say("Living Room connected, but no second screen appeared", &tv, true);
         f.state().warnings.set({"Bluetooth is off \u2014 Sidecar needs it"});
     },
     // Taller than the window's first size, to show the banner at the end.
     [](DockFixture&, DockViewWindow& window) { window.view().resize(476, 480); }},
    {"tv-mirroring", defaultScenario,
     [](DockFixture& f) {
         f.viewModel->mirror(QString::fromStdString(f.harness.device("Living Room").id));
         f.advance(30s);
     }},
};

}  // namespace

int writeDockScreenshots(int argc, char** argv, const QString& folder) {
    testing::XvfbServer xvfb(1024, 768);
    if (!testing::drawOnXvfb(xvfb)) return 77;
    QGuiApplication app(argc, argv);
    QDir().mkpath(folder);
    int failures = 0;
    for (const auto& shot : kShots) {
        for (const bool dark : {true, false}) {
            DockFixture f(shot.scenario());
            shot.arrange(f);
            DockViewWindow window(f, dark);
            shot.open(f, window);
            const auto path = QStringLiteral("%1/dock-%2-%3.png")
                                  .arg(folder, QLatin1String(shot.name),
                                       dark ? QLatin1String("dark") : QLatin1String("light"));
            if (!window.ready() || !window.settle() || !window.view().grabWindow().save(path)) {
                std::fprintf(stderr, "could not write %s\n", qPrintable(path));
                ++failures;
            }
        }
    }
    return failures == 0 ? 0 : 1;
}

}  // namespace kd
