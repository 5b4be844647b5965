#include <gtest/gtest.h>

#include <QApplication>
#include <QQuickStyle>

#include <cstdlib>
#include <iostream>

#include "support/xvfb_server.h"

// The screenshots are taken on a private Xvfb with the xcb platform, where
// Mesa renders what the software renderer would leave out.
int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    kd::testing::XvfbServer xvfb(1280, 800);
    if (!xvfb.available()) {
        std::cout << "skipped: " << xvfb.reason() << '\n';
        return 77;
    }
    ::setenv("DISPLAY", xvfb.name().c_str(), 1);
    ::setenv("QT_QPA_PLATFORM", "xcb", 1);
    ::unsetenv("WAYLAND_DISPLAY");
    // The style the program uses, which follows the application palette.
    QQuickStyle::setStyle("Fusion");
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
