import QtQuick
import QtQuick.Controls.Basic

// A text button on a small glass capsule, in the accent colour.
AbstractButton {
    id: button

    required property DockColours colours

    hoverEnabled: true
    leftPadding: 14
    rightPadding: 14
    topPadding: 5
    bottomPadding: 5

    contentItem: Text {
        text: button.text
        color: button.colours.accent
        font.pixelSize: 12
        font.weight: Font.Medium
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
    }
    background: Rectangle {
        radius: height / 2
        color: button.down ? button.colours.capsuleEdge
                           : button.hovered ? button.colours.buttonHover : button.colours.capsule
        border.color: button.colours.capsuleEdge
        border.width: 1
    }
}
