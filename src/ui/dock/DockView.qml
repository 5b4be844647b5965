pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Kd.Dock

// The main window's content: the map of screens, this Mac, one row per
// device or what to do when there is none, the status line and the
// Accessibility banner.
Rectangle {
    id: dock

    required property DockViewModel viewModel
    // The colour scheme the application chose.
    property bool dark: false

    readonly property DockColours colours: DockColours {
        dark: dock.dark
    }

    color: colours.background
    implicitWidth: 476
    implicitHeight: 420

    // One for the window; it opens under the row whose gear asked.
    DeviceSettingsPopover {
        id: deviceSettings
        viewModel: dock.viewModel.deviceSettings
        colours: dock.colours
        x: parent ? (parent.width - width) / 2 : 0
        y: parent ? parent.height + 4 : 0
    }

    Flickable {
        id: scroller
        anchors.fill: parent
        contentHeight: content.implicitHeight + 28
        // Presses on empty background belong to the window, which is moved
        // by them; only a list too long to fit takes them, to scroll.
        interactive: contentHeight > height
        boundsBehavior: Flickable.StopAtBounds
        clip: true
        ScrollBar.vertical: ScrollBar {}

        ColumnLayout {
            id: content
            x: 14
            y: 14
            width: scroller.width - 28
            spacing: 8

            ScreenMap {
                objectName: "screenMap"
                colours: dock.colours
                viewModel: dock.viewModel
                Layout.fillWidth: true
            }
            HostMacRow {
                id: hostMac
                colours: dock.colours
                label: dock.viewModel.macLabel
                artwork: dock.viewModel.macArtwork
                Layout.fillWidth: true
                onModesRequested: macModes.opened ? macModes.close() : macModes.open()

                MacModesPopover {
                    id: macModes
                    viewModel: dock.viewModel.macModes
                    colours: dock.colours
                    x: (hostMac.width - width) / 2
                    y: hostMac.height - 6
                }
            }
            Repeater {
                model: dock.viewModel.devices
                delegate: DeviceRow {
                    id: deviceRow
                    colours: dock.colours
                    anyBusy: dock.viewModel.busy
                    Layout.fillWidth: true
                    onPlaceRequested: side => dock.viewModel.place(deviceRow.deviceKey, side)
                    onMirrorRequested: dock.viewModel.mirror(deviceRow.deviceKey)
                    onDisconnectRequested: dock.viewModel.disconnectDevice(deviceRow.deviceKey)
                    onSettingsRequested: {
                        if (deviceSettings.opened && deviceSettings.parent === deviceRow) {
                            deviceSettings.close();
                            return;
                        }
                        dock.viewModel.deviceSettings.open(deviceRow.deviceKey);
                        deviceSettings.parent = deviceRow;
                        deviceSettings.open();
                    }
                }
            }
            EmptyState {
                objectName: "emptyState"
                visible: dock.viewModel.devices.count === 0
                colours: dock.colours
                scanning: dock.viewModel.scanning
                Layout.fillWidth: true
                onSearchAgain: dock.viewModel.rescan()
            }
            StatusLine {
                colours: dock.colours
                status: dock.viewModel.status
                needsDisplaySettings: dock.viewModel.needsDisplaySettings
                warnings: dock.viewModel.warnings
                Layout.fillWidth: true
                Layout.leftMargin: 6
                Layout.rightMargin: 6
                onOpenDisplaySettings: dock.viewModel.openDisplaySettings()
            }
            AccessibilityBanner {
                visible: dock.viewModel.accessibilityBannerShown
                colours: dock.colours
                Layout.fillWidth: true
                onOpenSettings: dock.viewModel.openAccessibilitySettings()
            }
        }
    }
}
