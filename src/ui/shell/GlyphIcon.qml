import QtQuick

// The title bar's three symbols, drawn: a turning arrow, two speech
// bubbles, a gear.
Canvas {
    id: icon

    required property string glyph
    required property color tint

    implicitWidth: 18
    implicitHeight: 18
    onTintChanged: requestPaint()

    onPaint: {
        const g = getContext("2d");
        const s = Math.min(width, height);
        g.reset();
        g.strokeStyle = icon.tint;
        g.fillStyle = icon.tint;
        g.lineWidth = s * 0.1;
        g.lineCap = "round";
        g.lineJoin = "round";
        if (icon.glyph === "rescan") {
            g.beginPath();
            g.arc(s / 2, s / 2, s * 0.34, -Math.PI * 0.35, Math.PI * 1.45);
            g.stroke();
            g.beginPath();
            g.moveTo(s * 0.62, s * 0.08);
            g.lineTo(s * 0.86, s * 0.2);
            g.lineTo(s * 0.64, s * 0.38);
            g.closePath();
            g.fill();
        } else if (icon.glyph === "support") {
            g.beginPath();
            g.roundedRect(s * 0.06, s * 0.12, s * 0.58, s * 0.42, s * 0.14, s * 0.14);
            g.moveTo(s * 0.16, s * 0.54);
            g.lineTo(s * 0.14, s * 0.7);
            g.lineTo(s * 0.32, s * 0.54);
            g.stroke();
            g.beginPath();
            g.roundedRect(s * 0.38, s * 0.42, s * 0.56, s * 0.38, s * 0.14, s * 0.14);
            g.fill();
        } else {
            const r = s * 0.3;
            g.beginPath();
            for (let i = 0; i < 8; ++i) {
                const a = i * Math.PI / 4;
                g.moveTo(s / 2 + Math.cos(a) * r, s / 2 + Math.sin(a) * r);
                g.lineTo(s / 2 + Math.cos(a) * s * 0.46, s / 2 + Math.sin(a) * s * 0.46);
            }
            g.lineWidth = s * 0.14;
            g.stroke();
            g.beginPath();
            g.arc(s / 2, s / 2, r, 0, Math.PI * 2);
            g.arc(s / 2, s / 2, s * 0.12, 0, Math.PI * 2, true);
            g.fill("evenodd");
        }
    }
}
