import QtQuick
import QtQuick.Controls

// The program's name and version, and who made it.
Column {
    id: footer

    required property string appVersion

    spacing: 2

    Label {
        objectName: "versionLine"
        anchors.horizontalCenter: parent.horizontalCenter
        text: "Kelvane Display " + footer.appVersion
        font.pixelSize: 11
        color: footer.palette.placeholderText
    }
    Label {
        objectName: "creditLine"
        anchors.horizontalCenter: parent.horizontalCenter
        text: "Made with care by the Kelvane Display team"
        font.pixelSize: 10
        color: footer.palette.placeholderText
    }
}
