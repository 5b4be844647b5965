import QtQuick
import QtQuick.Controls

// A menu item with its key at the trailing edge.
MenuItem {
    id: entry

    readonly property string keyText: entry.action && entry.action.shortcut
                                      ? String(entry.action.shortcut) : ""

    implicitWidth: Math.max(220, implicitContentWidth + leftPadding + rightPadding)

    contentItem: MenuEntryLabel {
        text: entry.text
        keys: entry.keyText
        enabled: entry.enabled
    }
}
