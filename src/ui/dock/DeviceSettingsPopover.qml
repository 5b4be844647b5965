pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Kd.Dock

// The display settings of the device whose row asked: its size, refresh
// rate and HDR.
Popup {
    id: popover

    required property DeviceSettingsViewModel viewModel
    required property DockColours colours

    objectName: "deviceSettingsPopover"
    width: 340
    padding: 12
    margins: 8
    closePolicy: Popup.CloseOnEscape | Popup.CloseOnPressOutsideParent

    background: Rectangle {
        radius: 14
        color: popover.colours.popover
        border.color: popover.colours.capsuleEdge
    }
    // The popup's only child, so the popup takes its size.
    Flickable {
        implicitWidth: popover.availableWidth
        implicitHeight: Math.min(body.implicitHeight, 330)
        contentHeight: body.implicitHeight
        boundsBehavior: Flickable.StopAtBounds
        clip: true
        ScrollBar.vertical: ScrollBar {}

        ColumnLayout {
            id: body
            width: parent.width
            spacing: 4

            RowLayout {
                Layout.fillWidth: true
                ColumnLayout {
                    spacing: 1
                    Layout.fillWidth: true
                    Text {
                        objectName: "settingsTitle"
                        text: popover.viewModel.title
                        color: popover.colours.text
                        font.pixelSize: 13
                        font.weight: Font.DemiBold
                        elide: Text.ElideRight
                        Layout.fillWidth: true
                    }
                    Text {
                        objectName: "settingsSubtitle"
                        text: popover.viewModel.subtitle
                        color: popover.colours.secondaryText
                        font.pixelSize: 10
                        wrapMode: Text.Wrap
                        Layout.fillWidth: true
                    }
                }
                CapsuleButton {
                    objectName: "rescanDevice"
                    colours: popover.colours
                    text: "Rescan"
                    onClicked: popover.viewModel.rescan()
                }
            }
            Text {
                objectName: "sizeSource"
                text: popover.viewModel.sourceLabel
                color: popover.colours.secondaryText
                font.pixelSize: 10
                font.italic: true
                Layout.topMargin: 4
            }
            Text {
                objectName: "noModesKnown"
                visible: popover.viewModel.sizes.count === 0
                text: "No modes known yet \u2014 connect the device once and they'll be remembered."
                color: popover.colours.secondaryText
                font.pixelSize: 11
                wrapMode: Text.Wrap
                Layout.fillWidth: true
            }
            ModeChoice {
                objectName: "automaticSize"
                visible: popover.viewModel.sizes.count > 0
                colours: popover.colours
                heading: ""
                startsGroup: false
                modeId: -1
                label: "Automatic"
                nativeSize: false
                current: !popover.viewModel.pinned
                note: "macOS decides"
                Layout.fillWidth: true
                onChosen: popover.viewModel.chooseAutomatic()
            }
            Repeater {
                model: popover.viewModel.sizes
                delegate: ModeChoice {
                    objectName: "size_" + modeId
                    colours: popover.colours
                    Layout.fillWidth: true
                    onChosen: index => popover.viewModel.chooseSize(index)
                }
            }
            Text {
                visible: popover.viewModel.rates.count > 0
                text: "Refresh rate"
                color: popover.colours.secondaryText
                font.pixelSize: 10
                font.weight: Font.DemiBold
                Layout.topMargin: 6
            }
            Repeater {
                model: popover.viewModel.rates
                delegate: ModeChoice {
                    objectName: "rate_" + modeId
                    colours: popover.colours
                    Layout.fillWidth: true
                    onChosen: hertz => popover.viewModel.chooseRate(hertz)
                }
            }
            Text {
                visible: text !== "" && popover.viewModel.rates.count > 0
                text: popover.viewModel.rateNote
                color: popover.colours.secondaryText
                font.pixelSize: 10
            }
            Rectangle {
                height: 1
                color: popover.colours.capsuleEdge
                Layout.fillWidth: true
                Layout.topMargin: 6
                Layout.bottomMargin: 4
            }
            Switch {
                id: hdrSwitch
                objectName: "hdrSwitch"
                visible: popover.viewModel.hdrSwitchShown
                checked: popover.viewModel.hdrOn
                text: "Turn HDR on for this display"
                onToggled: popover.viewModel.setHdr(checked)
                contentItem: Text {
                    leftPadding: hdrSwitch.indicator.width + hdrSwitch.spacing
                    text: hdrSwitch.text
                    color: popover.colours.text
                    font.pixelSize: 12
                    verticalAlignment: Text.AlignVCenter
                }
            }
            Text {
                objectName: "hdrStatus"
                text: popover.viewModel.hdrStatus
                color: popover.colours.secondaryText
                font.pixelSize: 11
                wrapMode: Text.Wrap
                Layout.fillWidth: true
            }
            CapsuleButton {
                objectName: "openDisplaySettings"
                colours: popover.colours
                text: "Open Display settings\u2026"
                Layout.topMargin: 2
                onClicked: popover.viewModel.openDisplaySettings()
            }
            Text {
                objectName: "settingsNote"
                visible: text !== ""
                text: popover.viewModel.note
                color: popover.colours.warning
                font.pixelSize: 11
                wrapMode: Text.Wrap
                Layout.fillWidth: true
            }
        }
    }
}
