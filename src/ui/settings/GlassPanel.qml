import QtQuick

// The rounded glass the popover and its capsules are made of: a tinted
// fill, a faint sheen towards the top and a hairline edge.
Rectangle {
    id: glass

    required property bool dark

    color: glass.dark ? Qt.rgba(0.13, 0.14, 0.17, 0.96) : Qt.rgba(0.98, 0.98, 0.99, 0.96)
    border.width: 1
    border.color: glass.dark ? Qt.rgba(1, 1, 1, 0.12) : Qt.rgba(0, 0, 0, 0.10)

    Rectangle {
        anchors.fill: parent
        anchors.margins: 1
        radius: glass.radius - 1
        gradient: Gradient {
            GradientStop { position: 0.0; color: Qt.rgba(1, 1, 1, glass.dark ? 0.06 : 0.5) }
            GradientStop { position: 0.35; color: Qt.rgba(1, 1, 1, 0) }
        }
    }
}
