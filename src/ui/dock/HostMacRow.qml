import QtQuick
import QtQuick.Layouts

// This Mac: its picture and label, and the button to its own resolutions.
Item {
    id: host

    required property DockColours colours
    required property string label
    required property string artwork

    signal modesRequested

    implicitHeight: 60

    RowLayout {
        anchors.centerIn: parent
        spacing: 10

        DeviceIcon {
            colours: host.colours
            artwork: host.artwork
            lit: true
            Layout.preferredWidth: 52
            Layout.preferredHeight: 52
        }
        Text {
            objectName: "macLabel"
            text: host.label
            color: host.colours.text
            font.pixelSize: 13
            font.weight: Font.Medium
        }
        IconButton {
            objectName: "macModes"
            colours: host.colours
            symbol: "gear"
            size: 24
            helpText: "Resolution of this Mac's display \u2014 including the sizes macOS hides"
            Accessible.name: "This Mac's resolution"
            onClicked: host.modesRequested()
        }
    }
}
