import QtQuick
import QtQuick.Controls
import Kd.Settings

// The registered card: who support answers, and a way back to the form.
Item {
    id: card

    required property AccountViewModel account
    required property bool dark

    implicitHeight: Math.max(details.implicitHeight, edit.implicitHeight)

    Column {
        id: details
        anchors.left: parent.left
        anchors.right: edit.left
        anchors.rightMargin: 8
        anchors.verticalCenter: parent.verticalCenter
        spacing: 2

        Label {
            objectName: "signedInAs"
            width: details.width
            elide: Text.ElideRight
            text: "Signed in as " + card.account.fullName
            font.pixelSize: 13
            font.weight: Font.DemiBold
            color: card.palette.text
        }
        Label {
            objectName: "cardDetails"
            width: details.width
            elide: Text.ElideRight
            text: card.account.email + " \u00b7 " + card.account.country
            font.pixelSize: 11
            color: card.palette.placeholderText
        }
    }

    CapsuleButton {
        id: edit
        objectName: "editCard"
        anchors.right: parent.right
        anchors.verticalCenter: parent.verticalCenter
        text: "Edit"
        dark: card.dark
        onClicked: card.account.edit()
    }
}
