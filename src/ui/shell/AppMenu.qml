import QtQuick.Controls

// A menu whose items show their keys.
Menu {
    // Wide enough for the longest text beside the longest key.
    width: 290
    delegate: MenuEntry {}
}
