import QtQuick
import QtQuick.Layouts

// One device: its picture, name and subtitle, the arrows that place it on a
// side, and the duplicate, settings and disconnect buttons.
GlassCapsule {
    id: row

    required property string deviceKey
    required property string name
    required property string subtitle
    required property string artwork
    required property bool connected
    required property bool busy
    required property string leftHelp
    required property string topHelp
    required property string rightHelp
    required property string settingsHelp
    // A connect, move, mirror or disconnect is in flight, for any device.
    required property bool anyBusy

    signal placeRequested(string side)
    signal mirrorRequested
    signal settingsRequested
    signal disconnectRequested

    objectName: "deviceRow_" + deviceKey
    implicitHeight: 58
    radius: 16

    RowLayout {
        anchors.fill: parent
        anchors.leftMargin: 12
        anchors.rightMargin: 8
        spacing: 8

        DeviceIcon {
            colours: row.colours
            artwork: row.artwork
            lit: row.connected
            Layout.preferredWidth: 38
            Layout.preferredHeight: 38
        }
        ColumnLayout {
            spacing: 1
            Layout.fillWidth: true
            Text {
                objectName: "deviceName"
                text: row.name
                color: row.colours.text
                font.pixelSize: 13
                font.weight: Font.DemiBold
                elide: Text.ElideRight
                Layout.fillWidth: true
            }
            Text {
                objectName: "deviceSubtitle"
                text: row.subtitle
                color: row.connected ? row.colours.accent : row.colours.secondaryText
                font.pixelSize: 11
                wrapMode: Text.Wrap
                maximumLineCount: 2
                elide: Text.ElideRight
                Layout.fillWidth: true
            }
        }
        Rectangle {
            objectName: "busyMark"
            visible: row.busy
            width: 6
            height: 6
            radius: 3
            color: row.colours.accent
            SequentialAnimation on opacity {
                running: row.busy
                loops: Animation.Infinite
                NumberAnimation { to: 0.2; duration: 500 }
                NumberAnimation { to: 1; duration: 500 }
            }
        }
        RowLayout {
            spacing: 0
            IconButton {
                objectName: "placeLeft"
                colours: row.colours
                symbol: "arrow.left"
                helpText: row.leftHelp
                enabled: !row.anyBusy
                onClicked: row.placeRequested("left")
            }
            IconButton {
                objectName: "placeTop"
                colours: row.colours
                symbol: "arrow.up"
                helpText: row.topHelp
                enabled: !row.anyBusy
                onClicked: row.placeRequested("top")
            }
            IconButton {
                objectName: "placeRight"
                colours: row.colours
                symbol: "arrow.right"
                helpText: row.rightHelp
                enabled: !row.anyBusy
                onClicked: row.placeRequested("right")
            }
            IconButton {
                objectName: "duplicate"
                colours: row.colours
                symbol: "duplicate"
                helpText: "Duplicate this Mac's display"
                onClicked: row.mirrorRequested()
            }
            IconButton {
                objectName: "displaySettings"
                colours: row.colours
                symbol: "gear"
                helpText: row.settingsHelp
                onClicked: row.settingsRequested()
            }
            IconButton {
                objectName: "disconnect"
                colours: row.colours
                symbol: "xmark.circle"
                onClicked: row.disconnectRequested()
            }
        }
    }
}
