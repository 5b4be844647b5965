#pragma once

// The application with its window: owns the dock controller, the support
// conversation, the contact card and the updater, launches the main window
// with its menus and title-bar controls, puts the tray icon up, keeps the
// window's frame across launches, and decides whether closing the window
// ends the application.
//
// Contract: main thread only, with the QApplication made before it and
// outliving it; the ports must outlive it too.

#include <QObject>
#include <QQmlApplicationEngine>
#include <QQuickWindow>

#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "dock/dock_state.h"
#include "platform/notification_center.h"
#include "support/account_model.h"
#include "support/support_model.h"
#include "ui/dock/dock_view_model.h"
#include "ui/settings/account_view_model.h"
#include "ui/settings/settings_view_model.h"
#include "ui/settings/updates_view_model.h"
#include "ui/shell/app_theme.h"
#include "ui/shell/menu_actions.h"
#include "ui/shell/quit_policy.h"
#include "ui/shell/shell_view_model.h"
#include "ui/shell/tray_menu.h"
#include "update/software_updater.h"
#include "virtual/browser_share.h"
#include "virtual/virtual_display_host.h"

namespace kd {

inline constexpr int kMainWindowWidth = 476;
inline constexpr int kMainWindowHeight = 420;
inline constexpr int kMainWindowMinimumWidth = 420;
inline constexpr int kMainWindowMinimumHeight = 360;

// Asks the title bar to open the settings popover.
inline constexpr const char* kOpenSettingsNotification = "openQuillmarshSettings";
// How long after launch the contact card is offered.
inline constexpr std::chrono::milliseconds kAccountPromptDelay{1200};

class AppDelegate : public QObject {
    Q_OBJECT

  public:
    struct Ports {
        DockState::Ports dock;
        VirtualDisplayHost& virtualDisplay;
        BrowserShare& share;
        AppTheme& theme;  // what the platform's appearance colours
        std::string version;
        std::string localeIdentifier;  // the user's, such as "en_US"
        std::string osVersion;         // "macOS 14.5.0", for the setup sent to support
        std::function<void()> beep;    // the system's
        std::function<void()> quit;    // ends the event loop
    };

    // Creates the dock controller, which starts scanning.
    explicit AppDelegate(Ports ports, QObject* parent = nullptr);
    ~AppDelegate() override;

    // The launch sequence: the saved theme, the updater's hold on the dock,
    // the dock view, the window where its frame was left (centred the first
    // time), the contact card offered 1.2 s later when it should be, the
    // tray icon and notification clicks, and an open support conversation
    // picked up again. False when the window could not be built.
    bool launch();
    // Brings the window back, as clicking the tray icon does.
    void reopen();
    // What closing the last window does: quit, unless work the user started
    // goes on without it.
    void lastWindowClosed();

    DockState& dock() { return *dock_; }
    SupportModel& support() { return *support_; }
    AccountModel& account() { return *account_; }
    SoftwareUpdater& updater() { return *updater_; }
    MenuActions& menuActions() { return *actions_; }
    ShellViewModel& shell() { return *shell_; }
    TrayMenu& tray() { return *tray_; }
    QQuickWindow* window() const { return window_; }
    QQmlApplicationEngine& engine() { return engine_; }

  private:
    Q_SLOT void windowClosing();
    void restoreFrame();
    void saveFrame() const;

    Ports ports_;
    std::unique_ptr<DockState> dock_;
    std::unique_ptr<AccountModel> account_;
    std::unique_ptr<SupportModel> support_;
    std::unique_ptr<SoftwareUpdater> updater_;
    std::unique_ptr<DockViewModel> dockView_;
    std::unique_ptr<SettingsViewModel> settingsView_;
    std::unique_ptr<UpdatesViewModel> updatesView_;
    std::unique_ptr<AccountViewModel> accountView_;
    std::unique_ptr<MenuActions> actions_;
    std::unique_ptr<ShellViewModel> shell_;
    std::unique_ptr<TrayMenu> tray_;
    WindowlessWork windowless_;
    NotificationCenter::Observation settingsObservation_;
    NotificationCenter::Observation accountObservation_;
    QQmlApplicationEngine engine_;
    QQuickWindow* window_ = nullptr;
};

}  // namespace kd
