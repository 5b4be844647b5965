import QtQuick
import Kd.Dock
import Kd.Settings
import Kd.Shell

// The main window: the title bar's controls over the dock view.
ChromeWindow {
    id: window

    required property ShellViewModel shell
    required property AppTheme theme
    required property DockViewModel dock
    required property SettingsViewModel settings
    required property UpdatesViewModel updates
    required property AccountViewModel account

    function bringToFront() {
        window.show();
        window.raise();
        window.requestActivate();
    }

    objectName: "mainWindow"
    title: "Kelvane Display"
    width: 476
    height: 420
    minimumWidth: 420
    minimumHeight: 360
    color: window.theme.window
    palette.window: window.theme.window
    palette.windowText: window.theme.text
    palette.base: window.theme.base
    palette.alternateBase: window.theme.button
    palette.text: window.theme.text
    palette.button: window.theme.button
    palette.buttonText: window.theme.text
    palette.highlight: window.theme.accent
    palette.highlightedText: "white"
    palette.toolTipBase: window.theme.base
    palette.toolTipText: window.theme.text
    palette.placeholderText: window.theme.secondaryText
    palette.link: window.theme.accent
    palette.light: window.theme.glass
    palette.mid: window.theme.separator

    menuBar: AppMenuBar {
        objectName: "menuBar"
        shell: window.shell
        window: window
        onAboutRequested: {
            window.bringToFront();
            aboutDialog.open();
        }
    }

    TitleBarControls {
        id: titleBar
        objectName: "titleBarControls"
        anchors.top: parent.top
        anchors.right: parent.right
        anchors.margins: 8
        shell: window.shell
        theme: window.theme
        onSettingsClicked: settingsPopover.visible ? settingsPopover.close() : settingsPopover.open()
    }

    DockView {
        id: dockView
        objectName: "dockView"
        anchors.top: titleBar.bottom
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        viewModel: window.dock
        dark: window.theme.dark
    }

    SettingsPopover {
        id: settingsPopover
        objectName: "settingsPopover"
        settings: window.settings
        updates: window.updates
        account: window.account
        // Below the title row, so the gear that opened it can close it.
        height: Math.min(settingsPopover.implicitHeight, dockView.height - 8)
        parent: titleBar
        x: titleBar.width - width
        y: titleBar.height + 4
    }

    AboutDialog {
        id: aboutDialog
        objectName: "aboutDialog"
        shell: window.shell
        theme: window.theme
    }

    Connections {
        target: window.shell
        function onSettingsRequested() {
            window.bringToFront();
            settingsPopover.open();
        }
        function onAccountRequested() {
            window.bringToFront();
            settingsPopover.showAccount();
        }
    }
}
