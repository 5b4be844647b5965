#include "ui/shell/app_delegate.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>

#include "dock/theme.h"
#include "ui/dock/device_art_provider.h"
#include "ui/shell/app_icon.h"
#include "ui/shell/window_frame.h"

namespace kd {

AppDelegate::AppDelegate(Ports ports, QObject* parent)
    : QObject(parent), ports_(std::move(ports)), dock_(DockState::start(ports_.dock)) {
    auto& platform = ports_.dock.platform;
    account_ = std::make_unique<AccountModel>(platform.userDefaults, ports_.localeIdentifier);
    support_ = std::make_unique<SupportModel>(
        SupportModel::Ports{platform.userDefaults, platform.scheduler, platform.http,
                            platform.secureRandom, platform.userNotifications},
        SupportModel::Settings{ports_.version, ports_.localeIdentifier, [this] {
                                   return SupportDiagnostics::current(
                                       *dock_, &ports_.virtualDisplay,
                                       ports_.dock.platform.displays, ports_.version,
                                       ports_.osVersion);
                               }});
    updater_ = std::make_unique<SoftwareUpdater>(platform, ports_.version);
    actions_ = std::make_unique<MenuActions>(MenuActions::Ports{
        *dock_, ports_.virtualDisplay, platform.userDefaults, platform.urlOpener, ports_.beep});
    shell_ = std::make_unique<ShellViewModel>(
        *actions_, &support_->unread,
        ShellViewModel::Hooks{{},
                              [this] { updater_->checkForUpdates(); },
                              ports_.quit,
                              [this] {
                                  reopen();
                                  ports_.dock.platform.notificationCenter.post(
                                      kOpenSettingsNotification);
                              }},
        QString::fromStdString(ports_.version));
    windowless_ = WindowlessWork{[this] { return ports_.virtualDisplay.isRunning(); },
                                 [this] { return ports_.share.running.get(); },
                                 [this] { return support_->isAwaitingReply(); }};
}

AppDelegate::~AppDelegate() {
    ports_.dock.platform.userNotifications.setActivationHandler({});
    saveFrame();
}

bool AppDelegate::launch() {
    auto& platform = ports_.dock.platform;
    applyTheme(platform.appearance, dock_->theme.get());
    updater_->state = dock_.get();
    updater_->virtualDisplay = &ports_.virtualDisplay;
    updater_->start();
    dockView_ = std::make_unique<DockViewModel>(*dock_, platform, ports_.dock.values,
                                                ports_.dock.virtualDisplay);
    settingsView_ = std::make_unique<SettingsViewModel>(
        *dock_, platform, ports_.dock.virtualDisplay, QString::fromStdString(ports_.version));
    updatesView_ = std::make_unique<UpdatesViewModel>(*updater_);
    accountView_ = std::make_unique<AccountViewModel>(*account_);

    QGuiApplication::setWindowIcon(applicationIcon());
    engine_.addImportPath("qrc:/");
    addDeviceArt(engine_, platform.typeDatabase);
    engine_.setInitialProperties({{"shell", QVariant::fromValue(shell_.get())},
                                  {"theme", QVariant::fromValue(&ports_.theme)},
                                  {"dock", QVariant::fromValue(dockView_.get())},
                                  {"settings", QVariant::fromValue(settingsView_.get())},
                                  {"updates", QVariant::fromValue(updatesView_.get())},
                                  {"account", QVariant::fromValue(accountView_.get())}});
    engine_.load(QUrl("qrc:/Kd/Shell/Main.qml"));
    if (engine_.rootObjects().isEmpty()) return false;
    window_ = qobject_cast<QQuickWindow*>(engine_.rootObjects().constFirst());
    if (!window_) return false;
    restoreFrame();

    settingsObservation_ = platform.notificationCenter.observe(
        kOpenSettingsNotification, [this] { emit shell_->settingsRequested(); });
    accountObservation_ = platform.notificationCenter.observe(
        kAccountChangedNotification, [this] { emit shell_->accountRequested(); });
    if (account_->shouldPromptOnLaunch()) {
        platform.scheduler.after(
            kAccountPromptDelay, Queue::main(),
            [&center = platform.notificationCenter] { center.post(kAccountChangedNotification); });
    }

    reopen();
    tray_ =
        std::make_unique<TrayMenu>(*dock_, ports_.virtualDisplay, *actions_, [this] { reopen(); });
    tray_->show();
    // The support window comes with its own change; until then a click on an
    // answer's notification brings the application forward.
    platform.userNotifications.setActivationHandler([this](const std::string&) { reopen(); });
    support_->resumeIfNeeded();

    // The window only hides when closed; whether that ends the application
    // is decided here, not by Qt, which would also tell only inside exec().
    QGuiApplication::setQuitOnLastWindowClosed(false);
    // The signal's argument type is private to Qt, hence the string form.
    connect(window_, SIGNAL(closing(QQuickCloseEvent*)), this, SLOT(windowClosing()));
    connect(qGuiApp, &QCoreApplication::aboutToQuit, this, &AppDelegate::saveFrame);
    return true;
}

void AppDelegate::reopen() {
    if (!window_) return;
    window_->show();
    window_->raise();
    window_->requestActivate();
}

void AppDelegate::windowClosing() {
    const auto windows = QGuiApplication::topLevelWindows();
    const bool othersOpen = std::any_of(windows.begin(), windows.end(), [this](QWindow* w) {
        return w != window_ && w->isVisible() && w->type() != Qt::Popup && w->type() != Qt::ToolTip;
    });
    if (!othersOpen) lastWindowClosed();
}

void AppDelegate::lastWindowClosed() {
    saveFrame();
    if (quitsAfterLastWindowClosed(windowless_) && ports_.quit) ports_.quit();
}

void AppDelegate::restoreFrame() {
    const auto saved = ports_.dock.platform.userDefaults.text(kMainWindowFrameKey);
    const auto frame =
        saved ? frameFromText(*saved, kMainWindowMinimumWidth, kMainWindowMinimumHeight)
              : std::nullopt;
    if (frame) {
        window_->setGeometry(frame->x, frame->y, frame->width, frame->height);
        if (frame->x != 0 || frame->y != 0) return;
    }
    if (const QScreen* screen = window_->screen()) {
        auto centred = window_->geometry();
        centred.moveCenter(screen->availableGeometry().center());
        window_->setPosition(centred.topLeft());
    }
}

void AppDelegate::saveFrame() const {
    if (!window_) return;
    const auto geometry = window_->geometry();
    ports_.dock.platform.userDefaults.set(
        kMainWindowFrameKey,
        frameText({geometry.x(), geometry.y(), geometry.width(), geometry.height()}));
}

}  // namespace kd
