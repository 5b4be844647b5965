import QtQuick
import QtQuick.Controls
import Kd.Settings

// The contact card's form: names, address and country, starting with the
// stored values each time it shows; Done, or Return in any field,
// registers it.
Column {
    id: form

    required property AccountViewModel account
    required property bool dark

    function submit() {
        form.account.registerCard(firstName.text, lastName.text, email.text,
                                  country.currentIndex >= 0 ? country.currentValue : "");
    }

    spacing: 8
    onVisibleChanged: {
        if (!form.visible)
            return;
        firstName.text = form.account.firstName;
        lastName.text = form.account.lastName;
        email.text = form.account.email;
        country.currentIndex = form.account.countries.rowOf(form.account.country);
    }

    SectionHeading {
        width: form.width
        title: "Who are you?"
        caption: "Once \u2014 so support can answer by mail. No password."
    }

    Row {
        width: form.width
        spacing: 8

        FormField {
            id: firstName
            objectName: "firstNameField"
            width: (form.width - 8) / 2
            placeholderText: "First name"
            text: form.account.firstName
            dark: form.dark
            onAccepted: form.submit()
        }
        FormField {
            id: lastName
            objectName: "lastNameField"
            width: (form.width - 8) / 2
            placeholderText: "Last name"
            text: form.account.lastName
            dark: form.dark
            onAccepted: form.submit()
        }
    }

    FormField {
        id: email
        objectName: "emailField"
        width: form.width
        placeholderText: "Email"
        inputMethodHints: Qt.ImhEmailCharactersOnly
        text: form.account.email
        dark: form.dark
        onAccepted: form.submit()
    }

    Row {
        width: form.width
        spacing: 8

        Label {
            anchors.verticalCenter: parent.verticalCenter
            text: "Country"
            font.pixelSize: 12
            color: form.palette.text
        }
        ComboBox {
            id: country
            objectName: "countryPicker"
            width: form.width - x
            model: form.account.countries
            textRole: "name"
            valueRole: "code"
            currentIndex: form.account.countries.rowOf(form.account.country)
            font.pixelSize: 12

            // Drawn as text: the style's tinted arrow image is never freed
            // by the software renderer, which the leak checker reports.
            indicator: Label {
                x: country.width - width - 10
                y: (country.height - height) / 2
                text: "\u25be"
                font.pixelSize: 12
                color: country.palette.placeholderText
            }

            background: Rectangle {
                implicitHeight: 28
                radius: 8
                color: form.dark ? Qt.rgba(1, 1, 1, 0.06) : "white"
                border.width: country.visualFocus ? 2 : 1
                border.color: country.visualFocus ? country.palette.highlight
                                                  : (form.dark ? Qt.rgba(1, 1, 1, 0.12)
                                                               : Qt.rgba(0, 0, 0, 0.14))
            }
        }
    }

    Label {
        objectName: "problem"
        visible: form.account.problem !== ""
        width: form.width
        wrapMode: Text.WordWrap
        text: form.account.problem
        font.pixelSize: 12
        color: "#ff9f0a"
    }

    CapsuleButton {
        objectName: "registerCard"
        anchors.right: parent.right
        text: "Done"
        prominent: true
        dark: form.dark
        onClicked: form.submit()
    }
}
