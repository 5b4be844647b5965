import QtQuick

// The translucent rounded glass the dock's sections sit on, with a lit edge
// and a highlight fading across the glass.
Rectangle {
    id: capsule

    required property DockColours colours

    radius: 18
    color: colours.capsule
    border.color: colours.capsuleEdge
    border.width: 1

    Rectangle {
        anchors.fill: parent
        anchors.margins: 1
        radius: capsule.radius - 1
        gradient: Gradient {
            orientation: Gradient.Horizontal
            GradientStop { position: 0; color: capsule.colours.sheen }
            GradientStop { position: 0.45; color: "transparent" }
        }
    }
}
