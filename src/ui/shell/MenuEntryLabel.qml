import QtQuick
import QtQuick.Controls

// A menu item's text, and its key at the trailing edge.
Item {
    id: row

    required property string text
    required property string keys

    implicitWidth: label.implicitWidth + keysLabel.implicitWidth + 32
    implicitHeight: label.implicitHeight

    Label {
        id: label
        anchors.left: parent.left
        anchors.verticalCenter: parent.verticalCenter
        text: row.text
    }
    Label {
        id: keysLabel
        objectName: "menuEntryKeys"
        anchors.right: parent.right
        anchors.verticalCenter: parent.verticalCenter
        text: row.keys
        opacity: 0.6
    }
}
