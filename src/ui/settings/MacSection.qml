pragma ComponentBehavior: Bound

import QtQuick
import QtQuick.Controls
import Kd.Settings

// This Mac's built-in display: every mode it has, read afresh each time the
// section shows, the native one marked; a click switches to it.
Column {
    id: section

    required property SettingsViewModel settings

    spacing: 6
    onVisibleChanged: {
        if (section.visible)
            section.settings.loadMacModes();
    }

    SectionHeading {
        width: section.width
        title: "This Mac's display"
    }

    Column {
        width: section.width

        Repeater {
            model: section.settings.macModes

            delegate: ChoiceRow {
                id: modeRow

                objectName: "mode_" + modeRow.key
                width: section.width
                onClicked: section.settings.chooseMacMode(modeRow.key)
            }
        }
    }

    Label {
        objectName: "noModes"
        visible: section.settings.macModes.count === 0
        text: "No modes reported for the built-in display"
        font.pixelSize: 12
        color: section.palette.placeholderText
    }

    Label {
        id: modeStatus

        objectName: "modeStatus"
        visible: modeStatus.text !== ""
        text: section.settings.modeStatus
        font.pixelSize: 12
        color: "#ff9f0a"
    }
}
