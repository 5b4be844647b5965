import QtQuick
import QtQuick.Controls
import Kd.Settings

// Software updates: checking by itself, checking now, what the last check
// found and when.
Column {
    id: controls

    required property UpdatesViewModel updates
    required property bool dark

    spacing: 8

    SettingSwitch {
        objectName: "automaticChecks"
        width: controls.width
        title: "Check for updates automatically"
        caption: "Asks before installing anything"
        checked: controls.updates.automaticallyChecks
        onToggled: on => controls.updates.automaticallyChecks = on
    }

    Row {
        width: controls.width
        spacing: 10

        CapsuleButton {
            id: checkNow
            objectName: "checkNow"
            text: "Check Now"
            dark: controls.dark
            enabled: !controls.updates.checking
            onClicked: controls.updates.checkForUpdates()
        }

        BusyIndicator {
            objectName: "checkingIndicator"
            anchors.verticalCenter: checkNow.verticalCenter
            visible: controls.updates.checking
            running: controls.updates.checking
            width: 18
            height: 18
        }
    }

    Label {
        objectName: "updateStatus"
        visible: controls.updates.status !== ""
        width: controls.width
        wrapMode: Text.WordWrap
        text: controls.updates.status
        font.pixelSize: 12
        color: controls.palette.text
    }

    Label {
        objectName: "lastCheck"
        visible: controls.updates.lastCheck !== ""
        text: controls.updates.lastCheck
        font.pixelSize: 11
        color: controls.palette.placeholderText
    }
}
