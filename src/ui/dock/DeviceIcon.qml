pragma ComponentBehavior: Bound
import QtQuick

// A device's picture, its screen lit and glowing while connected.
Item {
    id: icon

    required property DockColours colours
    required property string artwork
    required property bool lit

    implicitWidth: 40
    implicitHeight: 40

    Image {
        id: picture
        objectName: "devicePicture"
        anchors.fill: parent
        fillMode: Image.PreserveAspectFit
        smooth: true
        sourceSize.width: icon.width * 2
        sourceSize.height: icon.height * 2
        source: "image://devices/" + (icon.colours.dark ? "dark/" : "light/") + icon.artwork
        layer.enabled: icon.lit
        layer.effect: PictureGlow {
            color: icon.colours.glow
        }
    }
}
