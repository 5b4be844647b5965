import QtQuick
import Qt5Compat.GraphicalEffects

// The light a lit screen face throws around itself. Left out of the lint
// for the reason PictureGlow.qml gives.
RectangularGlow {
    glowRadius: 8
    spread: 0.1
}
