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

    // Opens the popover scrolled to the contact card, for when the card is
    // asked for rather than the settings.
    function showAccount() {
        popover.revealAccount = true;
        popover.open();
    }

    // Set from showAccount until the popover closes or the user scrolls: the
    // popover is laid out after it opens, and the window may shrink it after
    // that, so the card is scrolled to whenever the layout changes meanwhile.
    property bool revealAccount: false

    function scrollToAccountWhenLaidOut() {
        if (!popover.revealAccount || scroller.height <= 0 || accountSection.y <= 0)
            return;
        scroller.contentY = Math.max(0, Math.min(accountSection.y,
                                                 scroller.contentHeight - scroller.height));
    }

    onClosed: popover.revealAccount = false

    Flickable {
        id: scroller
        objectName: "settingsScroller"
        anchors.fill: parent
        clip: true
        contentWidth: scroller.width
        contentHeight: content.implicitHeight
        boundsBehavior: Flickable.StopAtBounds
        ScrollBar.vertical: ScrollBar {}
        onHeightChanged: popover.scrollToAccountWhenLaidOut()
        onMovementStarted: popover.revealAccount = false

        Column {
            id: content
            width: scroller.width
            spacing: 14
            onPositioningComplete: popover.scrollToAccountWhenLaidOut()

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
                id: accountSection
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
