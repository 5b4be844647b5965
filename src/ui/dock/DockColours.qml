import QtQuick

// The dock's colours in the dark and the light scheme.
QtObject {
    required property bool dark

    readonly property color background: dark ? "#17181c" : "#eef0f4"
    readonly property color text: dark ? "#eceef2" : "#1b1d22"
    readonly property color secondaryText: dark ? "#9aa0ab" : "#646a75"
    readonly property color capsule: dark ? Qt.rgba(1, 1, 1, 0.055) : Qt.rgba(1, 1, 1, 0.72)
    readonly property color capsuleEdge: dark ? Qt.rgba(1, 1, 1, 0.13) : Qt.rgba(0, 0, 0, 0.07)
    readonly property color sheen: dark ? Qt.rgba(1, 1, 1, 0.07) : Qt.rgba(1, 1, 1, 0.55)
    readonly property color accent: dark ? "#5aaeff" : "#0a6ad8"
    readonly property color warning: dark ? "#f0b048" : "#b86e00"
    readonly property color buttonHover: dark ? Qt.rgba(1, 1, 1, 0.1) : Qt.rgba(0, 0, 0, 0.07)
    readonly property color symbol: dark ? "#d5d9e0" : "#3a3f48"
    readonly property color disabledSymbol: dark ? "#5b6069" : "#b0b4bc"
    readonly property color screenLitTop: "#7cc8ff"
    readonly property color screenLitBottom: "#3f6ff0"
    readonly property color screenOff: "#0b0d12"
    readonly property color screenEdge: dark ? Qt.rgba(1, 1, 1, 0.35) : Qt.rgba(1, 1, 1, 0.6)
    readonly property color bezel: dark ? "#2b2e35" : "#30333a"
    readonly property color popover: dark ? "#24262c" : "#fbfbfd"
    readonly property color glow: dark ? "#3d8cff" : "#5a9cff"
}
