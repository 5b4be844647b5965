#pragma once

// Screenshots are drawn on a private X server with the xcb platform, where
// Mesa renders the glows the software backend drops.

#include <QByteArray>
#include <QtGlobal>

#include <cstdio>

#include "support/xvfb_server.h"

namespace kd::testing {

// Points Qt, before its application object exists, at `xvfb`. False, after
// saying why on standard error, when no X server could be had.
inline bool drawOnXvfb(const XvfbServer& xvfb) {
    if (!xvfb.available()) {
        std::fprintf(stderr, "no screenshots: %s\n", xvfb.reason().c_str());
        return false;
    }
    qputenv("DISPLAY", QByteArray::fromStdString(xvfb.name()));
    qputenv("QT_QPA_PLATFORM", "xcb");
    qunsetenv("QT_QUICK_BACKEND");
    return true;
}

}  // namespace kd::testing
