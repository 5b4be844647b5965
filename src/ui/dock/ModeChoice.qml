import QtQuick
import QtQuick.Layouts

// One choice of a mode, size or rate: a check circle, filled for the one in
// use, its label, and "Native" on the panel's own size; the first of a group carries
// the group's heading, or a hairline when the group has none.
Item {
    id: choice

    required property DockColours colours
    required property string heading
    required property bool startsGroup
    required property int modeId
    required property string label
    required property bool nativeSize
    required property bool current
    // What the row says on its right.
    property string note: nativeSize ? "Native" : ""

    signal chosen(int id)

    objectName: "mode_" + modeId
    implicitHeight: line.height + (heading !== "" ? 22 : startsGroup ? 9 : 0)

    Text {
        visible: choice.heading !== ""
        anchors.left: parent.left
        anchors.leftMargin: 6
        anchors.bottom: line.top
        anchors.bottomMargin: 3
        text: choice.heading
        color: choice.colours.secondaryText
        font.pixelSize: 10
        font.weight: Font.DemiBold
    }
    Rectangle {
        visible: choice.startsGroup && choice.heading === ""
        anchors.bottom: line.top
        anchors.bottomMargin: 4
        width: parent.width
        height: 1
        color: choice.colours.capsuleEdge
    }
    Rectangle {
        id: line
        anchors.bottom: parent.bottom
        width: parent.width
        height: 26
        radius: 6
        color: pointer.containsMouse ? choice.colours.buttonHover : "transparent"
    }
    RowLayout {
        anchors.fill: line
        anchors.leftMargin: 6
        anchors.rightMargin: 6
        spacing: 8
        Rectangle {
            objectName: "checkCircle"
            // Filled for the mode in use.
            property bool filled: choice.current
            width: 12
            height: 12
            radius: 6
            color: filled ? choice.colours.accent : "transparent"
            border.color: filled ? choice.colours.accent : choice.colours.secondaryText
            border.width: 1.5
            Rectangle {
                visible: parent.filled
                anchors.centerIn: parent
                width: 4
                height: 4
                radius: 2
                color: "white"
            }
        }
        Text {
            text: choice.label
            color: choice.colours.text
            font.pixelSize: 12
            Layout.fillWidth: true
        }
        Text {
            visible: text !== ""
            text: choice.note
            color: choice.colours.accent
            font.pixelSize: 10
            font.weight: Font.Medium
        }
    }
    MouseArea {
        id: pointer
        anchors.fill: line
        hoverEnabled: true
        onClicked: choice.chosen(choice.modeId)
    }
}
