import QtQuick
import QtQuick.Controls

// A section's heading, with a caption under it when there is one.
Column {
    id: heading

    required property string title
    property string caption: ""

    spacing: 2

    Label {
        width: heading.width
        wrapMode: Text.WordWrap
        text: heading.title
        font.pixelSize: 13
        font.weight: Font.DemiBold
        color: heading.palette.text
    }
    Label {
        visible: heading.caption !== ""
        width: heading.width
        wrapMode: Text.WordWrap
        text: heading.caption
        font.pixelSize: 11
        color: heading.palette.placeholderText
    }
}
