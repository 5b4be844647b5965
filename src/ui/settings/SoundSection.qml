pragma ComponentBehavior: Bound

import QtQuick
import Kd.Settings

// The connection sound: one row per sound; a click chooses it and plays it.
Column {
    id: section

    required property SettingsViewModel settings

    spacing: 6

    SectionHeading {
        width: section.width
        title: "Connection sound"
        caption: "Click to preview: connect + disconnect"
    }

    Column {
        width: section.width

        Repeater {
            model: section.settings.sounds

            delegate: ChoiceRow {
                id: soundRow

                objectName: "sound_" + soundRow.key
                width: section.width
                onClicked: section.settings.chooseSound(soundRow.key)
            }
        }
    }
}
