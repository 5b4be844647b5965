#pragma once

// The main window's own controls over the controllers: the menu bar's
// actions, the title-bar buttons and the unread dot. The dock view has a
// view model of its own.
//
// Contract: main thread only. The menu actions, the unread count and the
// hooks must outlive it; an empty hook does nothing.

#include <QtQml/qqmlregistration.h>
#include <QObject>
#include <QString>

#include <functional>

#include "model/published.h"
#include "ui/shell/menu_actions.h"

namespace kd {

class ShellViewModel : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("made by the application")
    Q_PROPERTY(int unread READ unread NOTIFY unreadChanged)
    Q_PROPERTY(QString version READ version CONSTANT)
    Q_PROPERTY(QString productPage READ productPage CONSTANT)

  public:
    struct Hooks {
        std::function<void()> openSupport;
        std::function<void()> checkForUpdates;
        std::function<void()> quit;
        // Asks, through the application, for the settings popover; it opens
        // when `settingsRequested` comes.
        std::function<void()> openSettings;
    };

    // `unread` is the support conversation's count of unread replies; none
    // keeps the dot away.
    ShellViewModel(MenuActions& actions, const Published<int>* unread, Hooks hooks, QString version,
                   QObject* parent = nullptr);

    int unread() const { return unread_ ? unread_->get() : 0; }
    QString version() const { return version_; }
    QString productPage() const { return QString::fromUtf8(kProductPageAddress); }

    Q_INVOKABLE void rescan() { actions_.rescan(); }
    Q_INVOKABLE void place(int tag) { actions_.place(tag); }
    Q_INVOKABLE void toggleMirror() { actions_.toggleMirror(); }
    Q_INVOKABLE void toggleVirtual() { actions_.toggleVirtual(); }
    Q_INVOKABLE void disconnectCurrent() { actions_.disconnect(); }
    Q_INVOKABLE void openHelp() { actions_.openHelp(); }
    Q_INVOKABLE void openPrivacy() { actions_.openPrivacy(); }
    Q_INVOKABLE void openProductPage() { actions_.openProductPage(); }
    Q_INVOKABLE void openSupport() { call(hooks_.openSupport); }
    Q_INVOKABLE void checkForUpdates() { call(hooks_.checkForUpdates); }
    Q_INVOKABLE void quit() { call(hooks_.quit); }
    // The window comes to the front with its settings popover open.
    Q_INVOKABLE void openSettings() { call(hooks_.openSettings); }

  signals:
    void unreadChanged();
    void settingsRequested();
    // The settings popover, opened at the contact card.
    void accountRequested();

  private:
    static void call(const std::function<void()>& hook) {
        if (hook) hook();
    }

    MenuActions& actions_;
    const Published<int>* unread_;
    Published<int>::Subscription unreadSubscription_;
    Hooks hooks_;
    QString version_;
};

}  // namespace kd
