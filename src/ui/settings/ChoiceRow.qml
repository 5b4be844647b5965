import QtQuick
import QtQuick.Controls

// One row of a pick-one list: its mark, an optional symbol, the label and a
// note beside it. The rows come from a ChoiceListModel.
AbstractButton {
    id: row

    required property string key
    required property string label
    required property string note
    required property bool chosen
    // A symbol drawn before the label, when the list has them.
    property string glyph: ""

    implicitHeight: 28
    hoverEnabled: true

    background: Rectangle {
        radius: 8
        color: row.hovered ? Qt.rgba(0.5, 0.5, 0.5, row.pressed ? 0.22 : 0.12) : "transparent"
    }

    contentItem: Row {
        spacing: 8
        leftPadding: 6

        CheckMark {
            anchors.verticalCenter: parent.verticalCenter
            chosen: row.chosen
        }
        Label {
            anchors.verticalCenter: parent.verticalCenter
            visible: row.glyph !== ""
            width: 18
            horizontalAlignment: Text.AlignHCenter
            text: row.glyph
            font.pixelSize: 14
            color: row.palette.text
        }
        Label {
            anchors.verticalCenter: parent.verticalCenter
            text: row.label
            font.pixelSize: 12
            color: row.palette.text
        }
        Label {
            anchors.verticalCenter: parent.verticalCenter
            visible: row.note !== ""
            text: row.note
            font.pixelSize: 11
            color: row.palette.placeholderText
        }
    }
}
