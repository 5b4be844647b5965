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
            g.arc(s / 2, s / 2, s * 0.34, -Math.PI * 0.25, Math.PI * 1.6);
            g.stroke();
            // The head at the arc's end, pointing on round.
            g.beginPath();
            g.moveTo(s * 0.62, s * 0.03);
            g.lineTo(s * 0.8, s * 0.23);
            g.lineTo(s * 0.55, s * 0.32);
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
            // A gear: eight square teeth around a ring with a hole.
            const c = s / 2;
            g.beginPath();
            for (let i = 0; i < 16; ++i) {
                const r = i % 2 === 0 ? s * 0.48 : s * 0.36;
                const a0 = (i - 0.5) * Math.PI / 8;
                const a1 = (i + 0.5) * Math.PI / 8;
                g.lineTo(c + Math.cos(a0) * r, c + Math.sin(a0) * r);
                g.lineTo(c + Math.cos(a1) * r, c + Math.sin(a1) * r);
            }
            g.closePath();
            g.moveTo(c + s * 0.15, c);
            g.arc(c, c, s * 0.15, 0, Math.PI * 2, true);
            g.fill("evenodd");
        }
    }
}
