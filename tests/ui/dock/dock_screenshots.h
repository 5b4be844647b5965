#pragma once

// Pictures of the dock view as people see it, for looking at: rendered by
// the xcb platform on a private Xvfb, where the glows are drawn too.

#include <QString>

namespace kd {

// Writes dock-<state>-<dark|light>.png into `folder`. Returns 0 when every
// picture was written, 77 when no X server can be started here, 1 otherwise.
int writeDockScreenshots(int argc, char** argv, const QString& folder);

}  // namespace kd
