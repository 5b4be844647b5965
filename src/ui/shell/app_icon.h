#pragma once

// The application's mark for the window and the tray: a screen with a
// second one beside it. The same drawing as the installed scalable icon,
// painted here because Qt reads no SVG without its SVG module.

#include <QIcon>

namespace kd {

QIcon applicationIcon();

}  // namespace kd
