pragma ComponentBehavior: Bound
import QtQuick
import Kd.Dock

// The map of screens: this Mac's and every extended screen, in their true
// proportions and places. A device's screen dragged to another side of the
// Mac goes there.
GlassCapsule {
    id: map

    required property DockViewModel viewModel

    implicitHeight: 150

    Item {
        id: canvas
        objectName: "screenMapCanvas"
        anchors.fill: parent
        anchors.topMargin: 8
        anchors.bottomMargin: 24
        onWidthChanged: map.viewModel.resizeMap(width, height)
        onHeightChanged: map.viewModel.resizeMap(width, height)

        // Presses on the map are the map's, so the window is not dragged by it.
        MouseArea {
            anchors.fill: parent
        }
        Repeater {
            model: map.viewModel.screenMap
            delegate: ScreenTile {
                id: screenTile
                colours: map.colours
                onDropped: (x, y) => map.viewModel.dropTile(screenTile.deviceKey, x, y)
            }
        }
    }
    Text {
        anchors.horizontalCenter: parent.horizontalCenter
        anchors.bottom: parent.bottom
        anchors.bottomMargin: 7
        text: "Drag a screen to move it"
        color: map.colours.secondaryText
        font.pixelSize: 10
    }
}
