import QtQuick
import Qt5Compat.GraphicalEffects

// The glow of a lit device picture, used as the picture's layer effect.
// Debian's package of these effects lacks their private type description,
// so qmllint cannot read this file's import; it is left out of the lint.
Glow {
    radius: 8
    samples: 17
    spread: 0.15
}
