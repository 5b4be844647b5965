import QtQuick
import Kd.Shell

// Rescan, support and settings, at the top right of the window.
Row {
    id: controls

    required property ShellViewModel shell
    required property AppTheme theme
    // Degrees the rescan symbol has turned: one full turn per press.
    property real rescanSpin: 0
    signal settingsClicked

    spacing: 2

    IconButton {
        objectName: "rescanButton"
        glyph: "rescan"
        help: "Rescan for devices"
        theme: controls.theme
        spin: controls.rescanSpin
        onClicked: {
            controls.shell.rescan();
            controls.rescanSpin += 360;
        }
    }
    IconButton {
        id: support
        objectName: "supportButton"
        glyph: "support"
        help: "Support \u2014 ask anything"
        theme: controls.theme
        onClicked: controls.shell.openSupport()

        Rectangle {
            objectName: "unreadDot"
            visible: controls.shell.unread >= 1
            width: 6
            height: 6
            radius: 3
            color: controls.theme.alert
            x: support.width - width - 5
            y: 5
        }
    }
    IconButton {
        objectName: "settingsButton"
        glyph: "settings"
        help: "Settings"
        theme: controls.theme
        onClicked: controls.settingsClicked()
    }
}
