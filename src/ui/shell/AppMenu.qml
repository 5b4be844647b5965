import QtQuick.Controls

// A menu whose items show their keys.
Menu {
    delegate: MenuEntry {}
}
