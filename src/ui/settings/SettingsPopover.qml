import QtQuick
import QtQuick.Controls
import Kd.Settings

// Every user setting in one glass panel: the section picker with its
// section, reconnecting, updates, the contact card and the footer. The
// window places it (parent, x, y) and calls open().
Popup {
    id: popover

    required property SettingsViewModel settings
    required property UpdatesViewModel updates
    required property AccountViewModel account
    // "sound", "theme" or "display"; every opening starts on the sound.
    property string section: "sound"

    readonly property bool dark: popover.palette.window.hslLightness < 0.5

    width: 320
    implicitHeight: content.implicitHeight + topPadding + bottomPadding
    padding: 14
    margins: 8
    modal: false
    focus: true
    closePolicy: Popup.CloseOnEscape | Popup.CloseOnPressOutsideParent

    onAboutToShow: popover.section = "sound"

    background: GlassPanel {
        dark: popover.dark
        radius: 16
    }

    ScrollView {
        id: scroller
        objectName: "settingsScroller"
        anchors.fill: parent
        clip: true
        contentWidth: availableWidth
        // Popups do not inherit the window's hover; tooltips inside need it.
        hoverEnabled: true

        Column {
            id: content
            width: scroller.availableWidth
            spacing: 14

            SectionPicker {
                objectName: "sectionPicker"
                width: content.width
                section: popover.section
                dark: popover.dark
                onPicked: chosen => popover.section = chosen
            }

            SoundSection {
                objectName: "soundSection"
                visible: popover.section === "sound"
                width: content.width
                settings: popover.settings
            }

            ThemeSection {
                objectName: "themeSection"
                visible: popover.section === "theme"
                width: content.width
                settings: popover.settings
            }

            MacSection {
                objectName: "macSection"
                visible: popover.section === "display"
                width: content.width
                settings: popover.settings
            }

            Separator { width: content.width }

            SettingSwitch {
                objectName: "reconnectSwitch"
                width: content.width
                title: "Reconnect automatically"
                caption: "Brings a dropped iPad back without asking"
                checked: popover.settings.autoReconnect
                onToggled: on => popover.settings.autoReconnect = on
            }

            UpdateControls {
                objectName: "updateControls"
                width: content.width
                updates: popover.updates
                dark: popover.dark
            }

            Separator { width: content.width }

            AccountSection {
                objectName: "accountSection"
                width: content.width
                account: popover.account
                dark: popover.dark
            }

            Separator { width: content.width }

            SettingsFooter {
                objectName: "settingsFooter"
                width: content.width
                appVersion: popover.settings.appVersion
            }
        }
    }
}
