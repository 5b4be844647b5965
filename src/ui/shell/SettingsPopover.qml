import QtQuick
import QtQuick.Controls
import Kd.Shell

// The settings, below the title bar's gear.
Popup {
    id: popover

    required property AppTheme theme

    width: 300
    padding: 0
    modal: false
    closePolicy: Popup.CloseOnEscape | Popup.CloseOnPressOutsideParent

    background: Rectangle {
        radius: 12
        color: popover.theme.window
        border.color: popover.theme.separator
    }
    // Popups do not inherit the window's hover; tooltips inside need it.
    contentItem: Pane {
        hoverEnabled: true
        padding: 16
        background: null

        Label {
            objectName: "settingsTitle"
            text: "Settings"
            font.bold: true
            font.pixelSize: 15
            color: popover.theme.text
        }
    }
}
