#include "ui/shell/app_delegate.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>

#include "dock/theme.h"
#include "ui/shell/app_icon.h"
#include "ui/shell/window_frame.h"

namespace kd {

AppDelegate::AppDelegate(Ports ports, QObject* parent)
    : QObject(parent), ports_(std::move(ports)), dock_(DockState::start(ports_.dock)) {
    auto& platform = ports_.dock.platform;
    actions_ = std::make_unique<MenuActions>(MenuActions::Ports{
        *dock_, ports_.virtualDisplay, platform.userDefaults, platform.urlOpener, ports_.beep});
    shell_ = std::make_unique<ShellViewModel>(*actions_, nullptr,
                                              ShellViewModel::Hooks{{}, {}, ports_.quit},
                                              QString::fromStdString(ports_.version));
    windowless_ = WindowlessWork{[this] { return ports_.virtualDisplay.isRunning(); },
                                 [this] { return ports_.share.running.get(); },
                                 {}};
}

AppDelegate::~AppDelegate() {
    saveFrame();
}

bool AppDelegate::launch() {
    applyTheme(ports_.dock.platform.appearance, dock_->theme.get());

    QGuiApplication::setWindowIcon(applicationIcon());
    engine_.addImportPath("qrc:/");
    engine_.setInitialProperties({{"shell", QVariant::fromValue(shell_.get())},
                                  {"theme", QVariant::fromValue(&ports_.theme)}});
    engine_.load(QUrl("qrc:/Kd/Shell/Main.qml"));
    if (engine_.rootObjects().isEmpty()) return false;
    window_ = qobject_cast<QQuickWindow*>(engine_.rootObjects().constFirst());
    if (!window_) return false;
    restoreFrame();
    reopen();

    tray_ =
        std::make_unique<TrayMenu>(*dock_, ports_.virtualDisplay, *actions_, [this] { reopen(); });
    tray_->show();

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
