import QtQuick

// A hairline between groups of settings.
Rectangle {
    id: line

    implicitHeight: 1
    color: line.palette.mid
}
