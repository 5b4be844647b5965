pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Layouts

// The status line, the way to the display settings when it offers them, and
// the warnings under it.
ColumnLayout {
    id: line

    required property DockColours colours
    required property string status
    required property bool needsDisplaySettings
    required property var warnings

    signal openDisplaySettings

    spacing: 3

    RowLayout {
        visible: line.status !== ""
        spacing: 8
        Layout.fillWidth: true
        Text {
            objectName: "statusText"
            text: line.status
            color: line.colours.secondaryText
            font.pixelSize: 11
            wrapMode: Text.Wrap
            Layout.fillWidth: true
        }
        Text {
            objectName: "openDisplaysSettings"
            visible: line.needsDisplaySettings
            text: "Open Displays settings"
            color: line.colours.accent
            font.pixelSize: 10
            font.weight: Font.Medium
            MouseArea {
                anchors.fill: parent
                onClicked: line.openDisplaySettings()
            }
        }
    }
    Repeater {
        model: line.warnings
        delegate: RowLayout {
            id: warning
            required property string modelData
            spacing: 6
            Layout.fillWidth: true
            Symbol {
                name: "warning"
                color: line.colours.warning
                Layout.preferredWidth: 12
                Layout.preferredHeight: 12
            }
            Text {
                objectName: "warningText"
                text: warning.modelData
                color: line.colours.warning
                font.pixelSize: 11
                wrapMode: Text.Wrap
                Layout.fillWidth: true
            }
        }
    }
}
