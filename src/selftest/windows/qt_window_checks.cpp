#include "selftest/windows/qt_window_checks.h"

#include <QGuiApplication>
#include <QLocale>
#include <QMouseEvent>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>

#include <memory>
#include <optional>
#include <string>

namespace kd {

namespace {

// Qt's messages while the checks run, for the details of a failure.
std::string* collectedMessages = nullptr;

void collectMessage(QtMsgType, const QMessageLogContext&, const QString& message) {
    if (collectedMessages) *collectedMessages += message.toStdString() + "; ";
}

// A Qt Quick set-up for the checks: the application (made off screen when
// the program has none), a QML engine, and Qt's messages held back.
class Probe {
  public:
    Probe() : previousHandler_(qInstallMessageHandler(collectMessage)) {
        collectedMessages = &messages_;
        if (!QCoreApplication::instance()) {
            app_ = std::make_unique<QGuiApplication>(argc_, argv_);
        }
        engine_ = std::make_unique<QQmlEngine>();
        engine_->addImportPath("qrc:/");
    }
    ~Probe() {
        engine_.reset();
        app_.reset();
        collectedMessages = nullptr;
        qInstallMessageHandler(previousHandler_);
    }
    Probe(const Probe&) = delete;
    Probe& operator=(const Probe&) = delete;

    // A window holding one button: a plain one, or ours, which counts the
    // drags it starts.
    std::unique_ptr<QQuickWindow> window(bool ours) {
        if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return nullptr;
        const auto text =
            std::string("import QtQuick\nimport QtQuick.Controls\nimport Kd.Shell\n") +
            (ours ? "ChromeWindow { property int drags: 0\n"
                    "  onBackgroundDragStarted: drags++\n"
                  : "ApplicationWindow {\n") +
            "  width: 240; height: 160\n"
            "  Button { objectName: \"probe\"; x: 20; y: 20; width: 100; height: 40\n"
            "    text: \"Probe\"; ToolTip.text: \"Tip\"; ToolTip.visible: hovered } }";
        QQmlComponent component(engine_.get());
        component.setData(QByteArray::fromStdString(text), QUrl("qrc:/selftest/Probe.qml"));
        std::unique_ptr<QQuickWindow> made(qobject_cast<QQuickWindow*>(component.create()));
        if (!made) {
            messages_ += component.errorString().toStdString();
            return nullptr;
        }
        made->show();
        QCoreApplication::processEvents();
        return made;
    }

    const std::string& messages() const { return messages_; }

  private:
    int argc_ = 3;
    char program_[16] = "kelvane-display";
    char platformOption_[10] = "-platform";
    char platform_[10] = "offscreen";
    char* argv_[4] = {program_, platformOption_, platform_, nullptr};
    QtMessageHandler previousHandler_;
    std::string messages_;
    std::unique_ptr<QGuiApplication> app_;
    std::unique_ptr<QQmlEngine> engine_;
};

QQuickItem* probeButton(QQuickWindow& window) {
    return window.findChild<QQuickItem*>("probe");
}

void send(QQuickWindow& window, QEvent::Type type, QPointF at, Qt::MouseButtons buttons) {
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, at, window.mapToGlobal(at), button, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(&window, &event);
    QCoreApplication::processEvents();
}

// Whether moving the mouse over the window's button lights it up; none
// when there is no such button to try.
std::optional<bool> tracksMouse(QQuickWindow* window) {
    QQuickItem* button = window ? probeButton(*window) : nullptr;
    if (!button) return std::nullopt;
    send(*window, QEvent::MouseMove, {5, 130}, Qt::NoButton);
    send(*window, QEvent::MouseMove, {70, 40}, Qt::NoButton);
    return button->property("hovered").toBool();
}

void click(QQuickWindow& window, QPointF at) {
    send(window, QEvent::MouseButtonPress, at, Qt::LeftButton);
    send(window, QEvent::MouseButtonRelease, at, Qt::NoButton);
}

void checkChrome(SelfTest& t) {
    Probe probe;
    const auto plain = probe.window(false);
    const auto detail = [&] { return probe.messages(); };
    t.check("a plain window does not track the mouse",
            tracksMouse(plain.get()) == std::optional(false), detail);
    const auto ours = probe.window(true);
    t.check("ours does, or every tooltip in the app is dead",
            tracksMouse(ours.get()) == std::optional(true), detail);
    bool dragged = false;
    if (ours) {
        click(*ours, {70, 40});    // the button takes its own press
        click(*ours, {200, 130});  // the background moves the window
        dragged = ours->property("drags").toInt() == 1;
    }
    t.check("and it can still be dragged by its background", dragged, detail);
}

void checkLanguage(SelfTest& t) {
    const QLocale previous;
    // Arabic: another language, other digits and right-to-left.
    QLocale::setDefault(QLocale(QLocale::Arabic, QLocale::Egypt));
    bool english = false;
    std::string seen;
    {
        Probe probe;
        if (const auto window = probe.window(true)) {
            if (const QQuickItem* button = probeButton(*window)) {
                const auto locale = button->property("locale").value<QLocale>();
                seen = locale.name().toStdString();
                english =
                    locale.language() == QLocale::English && !button->property("mirrored").toBool();
            }
        }
        if (seen.empty()) seen = probe.messages();
    }
    QLocale::setDefault(previous);
    t.check("the window is in English", english, [&] { return "got " + seen; });
}

}  // namespace

WindowChecks qtWindowChecks() {
    return {checkChrome, checkLanguage};
}

}  // namespace kd
