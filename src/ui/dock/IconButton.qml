import QtQuick
import QtQuick.Controls.Basic

// A small round button showing one symbol, lit on hover, with its help text
// as a tooltip.
AbstractButton {
    id: button

    required property DockColours colours
    required property string symbol
    property string helpText: ""
    property int size: 24

    implicitWidth: size
    implicitHeight: size
    hoverEnabled: true
    Accessible.name: helpText
    ToolTip.visible: hovered && helpText !== ""
    ToolTip.text: helpText
    ToolTip.delay: 500

    background: Rectangle {
        radius: width / 2
        color: button.down ? button.colours.capsuleEdge
                           : button.hovered && button.enabled ? button.colours.buttonHover
                                                              : "transparent"
    }
    contentItem: Item {
        Symbol {
            anchors.centerIn: parent
            width: Math.round(button.size * 0.58)
            height: width
            name: button.symbol
            color: button.enabled ? button.colours.symbol : button.colours.disabledSymbol
        }
    }
}
