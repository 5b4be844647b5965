import QtQuick
import QtQuick.Layouts

// Shown while a listed device needs the Screen Mirroring menu and the
// program may not drive it yet.
GlassCapsule {
    id: banner

    signal openSettings

    objectName: "accessibilityBanner"
    implicitHeight: 44
    radius: 14

    RowLayout {
        anchors.fill: parent
        anchors.leftMargin: 12
        anchors.rightMargin: 8
        spacing: 8
        Symbol {
            name: "lock.shield"
            color: banner.colours.warning
            Layout.preferredWidth: 18
            Layout.preferredHeight: 18
        }
        Text {
            text: "AirPlay displays need Accessibility permission"
            color: banner.colours.text
            font.pixelSize: 11
            wrapMode: Text.Wrap
            Layout.fillWidth: true
        }
        CapsuleButton {
            objectName: "openAccessibilitySettings"
            colours: banner.colours
            text: "Open settings"
            onClicked: banner.openSettings()
        }
    }
}
