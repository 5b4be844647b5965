import QtQuick
import Kd.Settings

// A window holding the settings popover as the main window does: the
// theme's colours handed down as the palette, the popover under the top
// right corner. `dark` picks the colours.
Window {
    id: host

    required property SettingsViewModel settings
    required property UpdatesViewModel updates
    required property AccountViewModel account
    property bool dark: false

    width: 360
    height: 1000
    visible: true
    color: host.dark ? "#1c1e24" : "#f3f4f7"
    palette.window: host.dark ? "#1c1e24" : "#f3f4f7"
    palette.windowText: host.dark ? "#f2f3f5" : "#1d1f24"
    palette.base: host.dark ? "#262930" : "#ffffff"
    palette.button: host.dark ? "#30333b" : "#e9ebef"
    palette.buttonText: host.dark ? "#f2f3f5" : "#1d1f24"
    palette.text: host.dark ? "#f2f3f5" : "#1d1f24"
    palette.placeholderText: host.dark ? "#a0a4ad" : "#6b707a"
    palette.highlight: host.dark ? "#4c9dff" : "#1a73e8"
    palette.highlightedText: "white"
    palette.mid: host.dark ? Qt.rgba(1, 1, 1, 0.10) : Qt.rgba(0, 0, 0, 0.11)
    palette.light: host.dark ? Qt.rgba(1, 1, 1, 0.07) : Qt.rgba(1, 1, 1, 0.75)

    SettingsPopover {
        objectName: "settingsPopover"
        x: host.width - width - 20
        y: 12
        settings: host.settings
        updates: host.updates
        account: host.account
    }
}
