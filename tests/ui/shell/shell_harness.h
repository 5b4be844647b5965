#pragma once

// The application with its window on a simulated Mac, on virtual time: the
// real delegate, dock controller and Main.qml, with the system beep and
// quitting counted instead of done.

#include <QQuickItem>
#include <QQuickWindow>
#include <QTest>

#include <chrono>
#include <map>
#include <string>

#include "dock/dock_harness.h"
#include "ui/shell/app_delegate.h"
#include "virtual/browser_share.h"
#include "virtual/virtual_display_host.h"

namespace kd {

// The default scenario without any device around the Mac.
inline Scenario macAlone() {
    auto scenario = defaultScenario();
    scenario.sidecarDevices.clear();
    scenario.airPlayReceivers.clear();
    return scenario;
}

class ShellHarness {
  public:
    // `saved` are texts in the preferences before the application starts.
    // Unless it is the first launch, the contact card was offered before.
    explicit ShellHarness(Scenario scenario = defaultScenario(),
                          const std::map<std::string, std::string>& saved = {},
                          bool firstLaunch = false)
        : dock(std::move(scenario)),
          stored_(store(dock.defaults, saved, firstLaunch)),
          virtualHost(dock.platform),
          share(dock.platform, 0),
          delegate({dock.ports(), virtualHost, share, theme, "1.2.3", "en_US", "macOS 14.5.0",
                    [this] { ++beeps; }, [this] { ++quits; }}) {}

    // Launches, lets the first scan finish, and waits for the window.
    QQuickWindow& launch() {
        const bool launched = delegate.launch();
        if (!launched || !delegate.window()) throw std::logic_error("the window was not built");
        advance(std::chrono::seconds(2));
        QQuickWindow& window = *delegate.window();
        if (!QTest::qWaitForWindowExposed(&window)) throw std::logic_error("never exposed");
        return window;
    }
    void advance(std::chrono::milliseconds by) { dock.advance(by); }

    template <typename T = QQuickItem>
    T* item(const char* objectName) {
        return delegate.window()->findChild<T*>(objectName);
    }
    const Device& device(const std::string& name) {
        for (const auto& device : delegate.dock().scanner.devices.get()) {
            if (device.name == name) return device;
        }
        throw std::logic_error("no device named " + name);
    }

    DockHarness dock;

  private:
    static bool store(Preferences& defaults, const std::map<std::string, std::string>& saved,
                      bool firstLaunch) {
        for (const auto& [key, text] : saved) defaults.set(key, text);
        if (!firstLaunch) defaults.set(kAccountPromptedKey, true);
        return true;
    }
    bool stored_;

  public:
    VirtualDisplayHost virtualHost;
    BrowserShare share;
    AppTheme theme;
    int beeps = 0;
    int quits = 0;
    AppDelegate delegate;
};

// Clicks the middle of `item` in its window.
inline void clickItem(QQuickItem& item) {
    const auto centre = item.mapToScene(QPointF(item.width() / 2, item.height() / 2)).toPoint();
    QTest::mouseClick(item.window(), Qt::LeftButton, Qt::NoModifier, centre);
}

}  // namespace kd
