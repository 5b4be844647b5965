import QtQuick
import QtQuick.Controls

// A small glass capsule with a text, for the popover's few buttons.
AbstractButton {
    id: button

    required property bool dark
    property bool prominent: false

    implicitWidth: button.implicitContentWidth + 28
    implicitHeight: 26
    hoverEnabled: true

    background: Rectangle {
        radius: height / 2
        opacity: button.enabled ? 1 : 0.5
        color: button.prominent ? button.palette.highlight
                                : (button.dark ? Qt.rgba(1, 1, 1, button.hovered ? 0.16 : 0.10)
                                               : Qt.rgba(0, 0, 0, button.hovered ? 0.09 : 0.05))
        border.width: 1
        border.color: button.dark ? Qt.rgba(1, 1, 1, 0.10) : Qt.rgba(0, 0, 0, 0.08)
    }
    contentItem: Label {
        text: button.text
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
        opacity: button.enabled ? 1 : 0.5
        font.pixelSize: 12
        font.weight: Font.Medium
        color: button.prominent ? "white" : button.palette.text
    }
}
