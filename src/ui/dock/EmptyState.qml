import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts

// What the device list shows with no device in it: the search while it
// runs, and after it a hint and a way to search again.
ColumnLayout {
    id: empty

    required property DockColours colours
    required property bool scanning

    signal searchAgain

    spacing: 6

    RowLayout {
        objectName: "lookingForDevices"
        visible: empty.scanning
        spacing: 8
        Layout.alignment: Qt.AlignHCenter
        Layout.topMargin: 12
        BusyIndicator {
            running: empty.scanning
            Layout.preferredWidth: 18
            Layout.preferredHeight: 18
        }
        Text {
            text: "Looking for devices\u2026"
            color: empty.colours.secondaryText
            font.pixelSize: 12
        }
    }
    ColumnLayout {
        objectName: "noDevicesFound"
        visible: !empty.scanning
        spacing: 6
        Layout.fillWidth: true
        Layout.topMargin: 8

        Symbol {
            name: "wifi.warning"
            color: empty.colours.secondaryText
            Layout.preferredWidth: 26
            Layout.preferredHeight: 26
            Layout.alignment: Qt.AlignHCenter
        }
        Text {
            text: "No devices found"
            color: empty.colours.text
            font.pixelSize: 14
            font.weight: Font.DemiBold
            Layout.alignment: Qt.AlignHCenter
        }
        Text {
            objectName: "noDevicesHint"
            text: "An iPad needs the same Apple Account with two-factor on, plus Wi-Fi and Bluetooth \u2014 even over a cable. An Apple TV needs to be awake on this network."
            color: empty.colours.secondaryText
            font.pixelSize: 11
            wrapMode: Text.Wrap
            horizontalAlignment: Text.AlignHCenter
            Layout.fillWidth: true
            Layout.leftMargin: 24
            Layout.rightMargin: 24
        }
        CapsuleButton {
            objectName: "searchAgain"
            colours: empty.colours
            text: "Search again"
            Layout.alignment: Qt.AlignHCenter
            onClicked: empty.searchAgain()
        }
    }
}
