import QtQuick
import QtQuick.Controls
import Kd.Shell

// A round title-bar button with a drawn symbol and its help text.
ToolButton {
    id: button

    required property string glyph
    required property string help
    required property AppTheme theme
    property real spin: 0

    implicitWidth: 30
    implicitHeight: 30
    ToolTip.visible: hovered
    ToolTip.delay: 600
    ToolTip.text: help
    Accessible.name: help

    background: Rectangle {
        radius: width / 2
        color: button.down || button.hovered ? button.theme.hover : "transparent"
    }
    contentItem: Item {
        GlyphIcon {
            objectName: button.objectName + "Icon"
            anchors.centerIn: parent
            glyph: button.glyph
            tint: button.theme.secondaryText
            rotation: button.spin
            Behavior on rotation {
                NumberAnimation { duration: 600; easing.type: Easing.InOutQuad }
            }
        }
    }
}
