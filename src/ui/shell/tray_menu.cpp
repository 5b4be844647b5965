#include "ui/shell/tray_menu.h"

#include "ui/shell/app_icon.h"
#include "ui/shell/dock_menu.h"

namespace kd {

TrayMenu::TrayMenu(DockState& dock, const VirtualDisplayHost& virtualDisplay, MenuActions& actions,
                   std::function<void()> reopen, QObject* parent)
    : QObject(parent),
      dock_(dock),
      virtualDisplay_(virtualDisplay),
      actions_(actions),
      reopen_(std::move(reopen)) {
    icon_.setIcon(applicationIcon());
    icon_.setToolTip("Kelvane Display");
    icon_.setContextMenu(&menu_);
    connect(&menu_, &QMenu::aboutToShow, this, &TrayMenu::rebuild);
    connect(&icon_, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::Trigger) reopen_();
            });
    rebuild();
}

void TrayMenu::rebuild() {
    menu_.clear();
    for (const auto& item : dockMenuItems(dock_.scanner.devices.get(), dock_.connectedKeys.get(),
                                          virtualDisplay_.isRunning())) {
        const auto text = QString::fromStdString(item.text);
        switch (item.kind) {
            case DockMenuItem::Kind::device:
                menu_.addAction(text, this,
                                [this, key = item.deviceKey] { actions_.dockConnect(key); });
                break;
            case DockMenuItem::Kind::separator:
                menu_.addSeparator();
                break;
            case DockMenuItem::Kind::virtualDisplay:
                menu_.addAction(text, this, [this] { actions_.toggleVirtual(); });
                break;
        }
    }
}

}  // namespace kd
