import QtQuick
import QtQuick.Controls
import Kd.Shell

// The menu bar. Linux has no system Services, nor hiding other
// applications: those items are there, and disabled.
MenuBar {
    id: bar

    required property ShellViewModel shell
    required property ApplicationWindow window
    signal aboutRequested

    function editFocused(method: string) {
        const item = bar.window.activeFocusItem;
        if (item && typeof item[method] === "function")
            item[method]();
    }

    AppMenu {
        title: "Kelvane Display"
        Action { text: "About Kelvane Display"; onTriggered: bar.aboutRequested() }
        MenuSeparator {}
        Action { text: "Check for Updates\u2026"; onTriggered: bar.shell.checkForUpdates() }
        MenuSeparator {}
        Action { text: "Settings\u2026"; shortcut: "Ctrl+,"; onTriggered: bar.shell.openSettings() }
        MenuSeparator {}
        Action { text: "Services"; enabled: false }
        MenuSeparator {}
        Action { text: "Hide Kelvane Display"; shortcut: "Ctrl+H"; onTriggered: bar.window.hide() }
        Action { text: "Hide Others"; shortcut: "Ctrl+Alt+H"; enabled: false }
        Action { text: "Show All"; enabled: false }
        MenuSeparator {}
        Action { text: "Quit Kelvane Display"; shortcut: "Ctrl+Q"; onTriggered: bar.shell.quit() }
    }
    AppMenu {
        title: "Edit"
        Action { text: "Undo"; shortcut: "Ctrl+Z"; onTriggered: bar.editFocused("undo") }
        Action { text: "Redo"; shortcut: "Ctrl+Shift+Z"; onTriggered: bar.editFocused("redo") }
        MenuSeparator {}
        Action { text: "Cut"; shortcut: "Ctrl+X"; onTriggered: bar.editFocused("cut") }
        Action { text: "Copy"; shortcut: "Ctrl+C"; onTriggered: bar.editFocused("copy") }
        Action { text: "Paste"; shortcut: "Ctrl+V"; onTriggered: bar.editFocused("paste") }
        Action { text: "Select All"; shortcut: "Ctrl+A"; onTriggered: bar.editFocused("selectAll") }
    }
    AppMenu {
        title: "Display"
        Action { text: "Rescan for Devices"; shortcut: "Ctrl+R"; onTriggered: bar.shell.rescan() }
        MenuSeparator {}
        Action { text: "Place on the Left"; shortcut: "Ctrl+Left"; onTriggered: bar.shell.place(0) }
        Action { text: "Place Above"; shortcut: "Ctrl+Up"; onTriggered: bar.shell.place(1) }
        Action { text: "Place on the Right"; shortcut: "Ctrl+Right"; onTriggered: bar.shell.place(2) }
        MenuSeparator {}
        Action {
            text: "Mirror This Mac's Display"
            shortcut: "Ctrl+M"
            onTriggered: bar.shell.toggleMirror()
        }
        Action { text: "Virtual Display"; shortcut: "Ctrl+D"; onTriggered: bar.shell.toggleVirtual() }
        MenuSeparator {}
        Action {
            text: "Disconnect"
            shortcut: "Ctrl+Shift+W"
            onTriggered: bar.shell.disconnectCurrent()
        }
    }
    AppMenu {
        title: "Window"
        // Ctrl+M is the mirror's: Qt drops a key two items share altogether.
        Action { text: "Minimize"; onTriggered: bar.window.showMinimized() }
        Action {
            text: "Zoom"
            onTriggered: bar.window.visibility === Window.Maximized ? bar.window.showNormal()
                                                                     : bar.window.showMaximized()
        }
        MenuSeparator {}
        Action { text: "Support"; shortcut: "Ctrl+0"; onTriggered: bar.shell.openSupport() }
        MenuSeparator {}
        Action {
            text: "Bring All to Front"
            onTriggered: {
                bar.window.raise();
                bar.window.requestActivate();
            }
        }
    }
    AppMenu {
        title: "Help"
        Action { text: "Kelvane Display Help"; shortcut: "Ctrl+?"; onTriggered: bar.shell.openHelp() }
        Action { text: "Contact Support\u2026"; onTriggered: bar.shell.openSupport() }
        MenuSeparator {}
        Action { text: "Privacy"; onTriggered: bar.shell.openPrivacy() }
    }
}
