import QtQuick

// The dock's line symbols, drawn so they look the same on every desktop:
// "arrow.left", "arrow.up", "arrow.right", "duplicate", "gear",
// "xmark.circle", "wifi.warning", "warning", "lock.shield".
Canvas {
    id: symbol

    required property string name
    property color color: "black"

    implicitWidth: 16
    implicitHeight: 16
    // A canvas paints only when asked, not when it first appears.
    Component.onCompleted: requestPaint()
    onNameChanged: requestPaint()
    onColorChanged: requestPaint()
    onWidthChanged: requestPaint()
    onHeightChanged: requestPaint()

    onPaint: {
        const c = getContext("2d");
        const s = Math.min(width, height) / 16;
        c.reset();
        c.save();
        c.translate((width - 16 * s) / 2, (height - 16 * s) / 2);
        c.scale(s, s);
        c.strokeStyle = symbol.color;
        c.fillStyle = symbol.color;
        c.lineWidth = 1.6;
        c.lineCap = "round";
        c.lineJoin = "round";
        c.beginPath();
        switch (symbol.name) {
        case "arrow.left":
            c.moveTo(13, 8); c.lineTo(3, 8); c.moveTo(7.5, 3.5); c.lineTo(3, 8); c.lineTo(7.5, 12.5);
            break;
        case "arrow.right":
            c.moveTo(3, 8); c.lineTo(13, 8); c.moveTo(8.5, 3.5); c.lineTo(13, 8); c.lineTo(8.5, 12.5);
            break;
        case "arrow.up":
            c.moveTo(8, 13); c.lineTo(8, 3); c.moveTo(3.5, 7.5); c.lineTo(8, 3); c.lineTo(12.5, 7.5);
            break;
        case "duplicate":
            c.rect(1.5, 4.5, 9, 7);
            c.moveTo(5, 2.5); c.lineTo(14.5, 2.5); c.lineTo(14.5, 9.5);
            break;
        case "gear":
            for (let i = 0; i < 8; ++i) {
                const a = i * Math.PI / 4;
                c.moveTo(8 + 5 * Math.cos(a), 8 + 5 * Math.sin(a));
                c.lineTo(8 + 7 * Math.cos(a), 8 + 7 * Math.sin(a));
            }
            c.moveTo(13, 8); c.arc(8, 8, 5, 0, 2 * Math.PI);
            c.moveTo(10, 8); c.arc(8, 8, 2, 0, 2 * Math.PI);
            break;
        case "xmark.circle":
            c.arc(8, 8, 6.5, 0, 2 * Math.PI);
            c.moveTo(5.5, 5.5); c.lineTo(10.5, 10.5); c.moveTo(10.5, 5.5); c.lineTo(5.5, 10.5);
            break;
        case "wifi.warning":
            c.arc(8, 13, 10, -0.75 * Math.PI, -0.25 * Math.PI);
            c.moveTo(3.8, 9.6); c.arc(8, 13, 6, -0.78 * Math.PI, -0.22 * Math.PI);
            c.stroke();
            c.beginPath();
            c.arc(8, 13, 1.4, 0, 2 * Math.PI);
            c.fill();
            c.beginPath();
            c.moveTo(14, 9); c.lineTo(14, 12); c.moveTo(14, 14.5); c.lineTo(14, 14.6);
            break;
        case "warning":
            c.moveTo(8, 1.8); c.lineTo(14.8, 14); c.lineTo(1.2, 14); c.closePath();
            c.moveTo(8, 6); c.lineTo(8, 9.5); c.moveTo(8, 11.8); c.lineTo(8, 11.9);
            break;
        case "lock.shield":
            c.moveTo(8, 1.2); c.lineTo(14, 3.5); c.lineTo(14, 8);
            c.bezierCurveTo(14, 11.5, 11, 13.8, 8, 15);
            c.bezierCurveTo(5, 13.8, 2, 11.5, 2, 8);
            c.lineTo(2, 3.5); c.closePath();
            c.moveTo(5.5, 8); c.lineTo(10.5, 8); c.lineTo(10.5, 11.5); c.lineTo(5.5, 11.5); c.closePath();
            c.moveTo(6.5, 8); c.lineTo(6.5, 6.5); c.arc(8, 6.5, 1.5, Math.PI, 0); c.lineTo(9.5, 8);
            break;
        }
        c.stroke();
        c.restore();
    }
}
