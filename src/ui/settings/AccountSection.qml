import QtQuick
import Kd.Settings

// The contact card: the form until the card is registered, then the card.
Item {
    id: section

    required property AccountViewModel account
    required property bool dark

    implicitHeight: section.account.registered ? card.implicitHeight : form.implicitHeight

    AccountCard {
        id: card
        objectName: "accountCard"
        width: section.width
        visible: section.account.registered
        account: section.account
        dark: section.dark
    }

    AccountForm {
        id: form
        objectName: "accountForm"
        width: section.width
        visible: !section.account.registered
        account: section.account
        dark: section.dark
    }
}
