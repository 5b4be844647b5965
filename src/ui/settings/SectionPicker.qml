pragma ComponentBehavior: Bound

import QtQuick
import QtQuick.Controls

// The segmented capsule that picks the settings section.
Rectangle {
    id: picker

    required property string section
    required property bool dark
    signal picked(string chosen)

    implicitHeight: 30
    radius: height / 2
    color: picker.dark ? Qt.rgba(1, 1, 1, 0.07) : Qt.rgba(0, 0, 0, 0.05)
    border.width: 1
    border.color: picker.dark ? Qt.rgba(1, 1, 1, 0.08) : Qt.rgba(0, 0, 0, 0.06)

    Row {
        anchors.fill: parent
        anchors.margins: 2

        Repeater {
            model: [
                { name: "sectionSound", title: "Sound", value: "sound" },
                { name: "sectionTheme", title: "Theme", value: "theme" },
                { name: "sectionMac", title: "Mac", value: "display" }
            ]

            delegate: AbstractButton {
                id: segment

                required property var modelData
                readonly property bool current: picker.section === segment.modelData.value

                objectName: segment.modelData.name
                width: (picker.width - 4) / 3
                height: picker.height - 4
                hoverEnabled: true
                onClicked: picker.picked(segment.modelData.value)

                background: Rectangle {
                    radius: height / 2
                    color: segment.current ? (picker.dark ? Qt.rgba(1, 1, 1, 0.16) : "white")
                                           : (segment.hovered ? Qt.rgba(0.5, 0.5, 0.5, 0.12)
                                                              : "transparent")
                    border.width: segment.current && !picker.dark ? 1 : 0
                    border.color: Qt.rgba(0, 0, 0, 0.08)
                }
                contentItem: Label {
                    text: segment.modelData.title
                    horizontalAlignment: Text.AlignHCenter
                    verticalAlignment: Text.AlignVCenter
                    font.pixelSize: 12
                    font.weight: segment.current ? Font.DemiBold : Font.Normal
                    color: segment.palette.text
                }
            }
        }
    }
}
