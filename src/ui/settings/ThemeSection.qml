pragma ComponentBehavior: Bound

import QtQuick
import Kd.Settings

// The appearance: follow the desktop, or force dark or light.
Column {
    id: section

    required property SettingsViewModel settings

    spacing: 6

    SectionHeading {
        width: section.width
        title: "Appearance"
    }

    Column {
        width: section.width

        Repeater {
            model: section.settings.themes

            delegate: ChoiceRow {
                id: themeRow

                objectName: "theme_" + themeRow.key
                width: section.width
                // Half a filled circle, a moon, a sun.
                glyph: themeRow.key === "auto" ? "\u25D0" : themeRow.key === "dark" ? "\u263E" : "\u2600"
                onClicked: section.settings.chooseTheme(themeRow.key)
            }
        }
    }
}
