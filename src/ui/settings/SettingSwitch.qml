import QtQuick
import QtQuick.Controls

// A setting that is on or off: its title and caption, and a switch at the
// right that reports the user's flips.
Item {
    id: setting

    required property string title
    required property string caption
    required property bool checked
    signal toggled(bool on)

    implicitHeight: Math.max(texts.implicitHeight, toggle.implicitHeight)

    SectionHeading {
        id: texts
        anchors.left: parent.left
        anchors.right: toggle.left
        anchors.rightMargin: 8
        anchors.verticalCenter: parent.verticalCenter
        title: setting.title
        caption: setting.caption
    }

    Switch {
        id: toggle
        objectName: setting.objectName + "Toggle"
        anchors.right: parent.right
        anchors.verticalCenter: parent.verticalCenter
        checked: setting.checked
        padding: 0

        // A rounded track with a round knob, lit in the accent when on.
        indicator: Rectangle {
            implicitWidth: 34
            implicitHeight: 20
            x: toggle.leftPadding
            y: (toggle.height - height) / 2
            radius: height / 2
            color: toggle.checked ? toggle.palette.highlight : Qt.rgba(0.5, 0.5, 0.5, 0.35)

            Rectangle {
                width: 16
                height: 16
                radius: 8
                y: 2
                x: toggle.checked ? parent.width - width - 2 : 2
                color: "white"
                border.width: 1
                border.color: Qt.rgba(0, 0, 0, 0.08)

                Behavior on x {
                    NumberAnimation { duration: 120 }
                }
            }
        }

        onToggled: {
            setting.toggled(toggle.checked);
            // The setting decides; the switch shows it again.
            toggle.checked = Qt.binding(() => setting.checked);
        }
    }
}
