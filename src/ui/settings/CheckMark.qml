import QtQuick

// The mark of a pick-one row: a filled circle with a check for the current
// choice, an empty ring for the others.
Rectangle {
    id: mark

    required property bool chosen

    implicitWidth: 16
    implicitHeight: 16
    radius: width / 2
    color: mark.chosen ? mark.palette.highlight : "transparent"
    border.width: mark.chosen ? 0 : 1.5
    border.color: mark.palette.placeholderText

    Text {
        anchors.centerIn: parent
        visible: mark.chosen
        text: "\u2713"
        color: "white"
        font.pixelSize: 11
        font.bold: true
    }
}
