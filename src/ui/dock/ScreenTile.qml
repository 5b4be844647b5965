import QtQuick
import QtQuick.Controls.Basic

// One screen in the map: a lit face with its name. A device's screen can be
// dragged; where it is let go is for the view model to judge.
Item {
    id: tile

    required property DockColours colours
    required property string deviceKey
    required property string name
    required property bool builtIn
    required property int tileX
    required property int tileY
    required property int tileWidth
    required property int tileHeight

    // Where the tile's top left corner was let go, in the map's coordinates.
    signal dropped(real x, real y)

    property real offsetX: 0
    property real offsetY: 0
    readonly property bool draggable: !builtIn && deviceKey !== ""

    objectName: builtIn ? "macTile" : "screenTile_" + deviceKey
    x: tileX + offsetX
    y: tileY + offsetY
    width: tileWidth
    height: tileHeight
    z: drag.pressed ? 2 : 1

    ScreenGlow {
        anchors.fill: face
        cornerRadius: face.radius + glowRadius
        color: tile.colours.glow
        opacity: drag.pressed ? 0.75 : 0.45
    }
    // Screens that touch keep a hairline apart, so each reads as its own.
    Rectangle {
        id: bezel
        anchors.fill: parent
        anchors.margins: 1.5
        radius: 6
        color: tile.colours.bezel
    }
    Rectangle {
        id: face
        anchors.fill: bezel
        anchors.margins: 3
        radius: 4
        border.color: tile.colours.screenEdge
        border.width: 1
        gradient: Gradient {
            GradientStop { position: 0; color: tile.colours.screenLitTop }
            GradientStop { position: 1; color: tile.colours.screenLitBottom }
        }
    }
    Text {
        anchors.fill: face
        anchors.margins: 3
        text: tile.name
        color: "white"
        font.pixelSize: Math.max(8, Math.min(11, tile.height / 4))
        font.weight: Font.DemiBold
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
        wrapMode: Text.Wrap
        elide: Text.ElideRight
        style: Text.Raised
        styleColor: Qt.rgba(0, 0, 0, 0.25)
    }
    MouseArea {
        id: drag

        property real pressedX
        property real pressedY

        anchors.fill: parent
        enabled: tile.draggable
        hoverEnabled: true
        preventStealing: true
        ToolTip.visible: containsMouse && !pressed
        ToolTip.text: "Drag to move " + tile.name
        ToolTip.delay: 500

        onPressed: mouse => {
            const at = mapToItem(tile.parent, mouse.x, mouse.y);
            drag.pressedX = at.x;
            drag.pressedY = at.y;
        }
        onPositionChanged: mouse => {
            if (!pressed)
                return;
            const at = mapToItem(tile.parent, mouse.x, mouse.y);
            tile.offsetX = at.x - drag.pressedX;
            tile.offsetY = at.y - drag.pressedY;
        }
        onReleased: {
            // A click that hardly moved is no drag.
            if (Math.abs(tile.offsetX) + Math.abs(tile.offsetY) >= 3)
                tile.dropped(tile.x, tile.y);
            tile.offsetX = 0;
            tile.offsetY = 0;
        }
        onCanceled: {
            tile.offsetX = 0;
            tile.offsetY = 0;
        }
    }
}
