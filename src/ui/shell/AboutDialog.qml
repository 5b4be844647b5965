import QtQuick
import QtQuick.Controls
import Kd.Shell

// The About panel: name, version, the product page and the maker's notice.
Dialog {
    id: about

    required property ShellViewModel shell
    required property AppTheme theme

    modal: true
    anchors.centerIn: parent
    width: 300
    standardButtons: Dialog.Ok

    contentItem: Column {
        spacing: 6

        Label {
            width: parent.width
            horizontalAlignment: Text.AlignHCenter
            text: "Kelvane Display"
            font.bold: true
            font.pixelSize: 16
        }
        Label {
            objectName: "aboutVersion"
            width: parent.width
            horizontalAlignment: Text.AlignHCenter
            text: "Version " + about.shell.version
        }
        Label {
            width: parent.width
            horizontalAlignment: Text.AlignHCenter
            textFormat: Text.StyledText
            text: "<a href=\"" + about.shell.productPage + "\">" + about.shell.productPage + "</a>"
            font.pixelSize: 11
            color: about.theme.secondaryText
            linkColor: about.theme.accent
            onLinkActivated: about.shell.openProductPage()
        }
        Label {
            width: parent.width
            horizontalAlignment: Text.AlignHCenter
            text: "\u00a9 2026 Kelvane. All rights reserved."
            font.pixelSize: 11
            color: about.theme.secondaryText
        }
    }
}
