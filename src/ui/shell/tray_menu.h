#pragma once

// The tray icon: its menu is the one the Mac shows on the Dock icon, built
// afresh each time it opens; clicking the icon brings the window back.
//
// Contract: main thread only; the controllers and actions must outlive it.

#include <QMenu>
#include <QObject>
#include <QSystemTrayIcon>

#include <functional>

#include "dock/dock_state.h"
#include "ui/shell/menu_actions.h"
#include "virtual/virtual_display_host.h"

namespace kd {

class TrayMenu : public QObject {
    Q_OBJECT

  public:
    TrayMenu(DockState& dock, const VirtualDisplayHost& virtualDisplay, MenuActions& actions,
             std::function<void()> reopen, QObject* parent = nullptr);

    // Shows the icon where the desktop has a tray.
    void show() { icon_.show(); }
    QMenu& menu() { return menu_; }
    // What opening the menu does, callable as the desktop would.
    void rebuild();

  private:
    DockState& dock_;
    const VirtualDisplayHost& virtualDisplay_;
    MenuActions& actions_;
    std::function<void()> reopen_;
    QMenu menu_;
    QSystemTrayIcon icon_;
};

}  // namespace kd
