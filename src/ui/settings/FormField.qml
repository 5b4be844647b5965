import QtQuick
import QtQuick.Controls

// A text field of the contact card, in a soft rounded well.
TextField {
    id: field

    required property bool dark

    implicitHeight: 28
    leftPadding: 10
    rightPadding: 10
    font.pixelSize: 12
    color: field.palette.text
    placeholderTextColor: field.palette.placeholderText
    selectByMouse: true

    background: Rectangle {
        radius: 8
        color: field.dark ? Qt.rgba(1, 1, 1, 0.06) : "white"
        border.width: field.activeFocus ? 2 : 1
        border.color: field.activeFocus ? field.palette.highlight
                                        : (field.dark ? Qt.rgba(1, 1, 1, 0.12)
                                                      : Qt.rgba(0, 0, 0, 0.14))
    }
}
