import QtQuick
import QtQuick.Controls

// The frame every window of ours stands in: English whatever the locale,
// hover on for everything inside (or no tooltip ever shows), and dragged by
// any background that nothing else takes a press on.
ApplicationWindow {
    id: chrome

    default property alias content: body.data
    signal backgroundDragStarted

    // qmllint disable type
    locale: Qt.locale("en_US")
    // qmllint enable type
    LayoutMirroring.enabled: false
    LayoutMirroring.childrenInherit: true

    Control {
        id: body
        objectName: "chromeBody"
        anchors.fill: parent
        hoverEnabled: true

        MouseArea {
            objectName: "backgroundDrag"
            anchors.fill: parent
            z: -1
            onPressed: {
                chrome.startSystemMove();
                chrome.backgroundDragStarted();
            }
        }
    }
}
