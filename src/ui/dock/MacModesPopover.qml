pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Kd.Dock

// This Mac's own modes at a glance, the hidden HiDPI sizes included.
Popup {
    id: popover

    required property MacModesViewModel viewModel
    required property DockColours colours

    objectName: "macModesPopover"
    width: 300
    padding: 10
    // Kept inside the window, below the gear so the gear can close it.
    margins: 8
    closePolicy: Popup.CloseOnEscape | Popup.CloseOnPressOutsideParent
    onAboutToShow: viewModel.refresh()

    background: Rectangle {
        radius: 14
        color: popover.colours.popover
        border.color: popover.colours.capsuleEdge
    }
    contentItem: ColumnLayout {
        spacing: 6
        Text {
            objectName: "noMacModes"
            visible: popover.viewModel.modes.count === 0
            text: "No modes reported for the built-in display"
            color: popover.colours.secondaryText
            font.pixelSize: 11
        }
        ListView {
            objectName: "macModeList"
            implicitHeight: Math.min(contentHeight, 150)
            Layout.fillWidth: true
            clip: true
            boundsBehavior: Flickable.StopAtBounds
            ScrollBar.vertical: ScrollBar {}
            model: popover.viewModel.modes
            delegate: ModeChoice {
                colours: popover.colours
                width: ListView.view.width
                onChosen: id => popover.viewModel.choose(id)
            }
        }
        Text {
            objectName: "macModesStatus"
            visible: text !== ""
            text: popover.viewModel.status
            color: popover.colours.warning
            font.pixelSize: 11
        }
    }
}
