#include <gtest/gtest.h>

#include <QApplication>
#include <QQuickStyle>

#include <cstdlib>
#include <iostream>
#include <optional>
#include <string>

#include "support/xvfb_server.h"

// The tests share one application object, as the program has one. CTest
// runs them off screen, and the screenshots apart on the xcb platform with
// a private Xvfb, where Mesa renders what the software renderer leaves out.
int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    std::optional<kd::testing::XvfbServer> xvfb;
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (platform && std::string(platform) == "xcb") {
        xvfb.emplace(1280, 800);
        if (!xvfb->available()) {
            std::cout << "skipped: " << xvfb->reason() << '\n';
            return 77;
        }
        ::setenv("DISPLAY", xvfb->name().c_str(), 1);
        ::unsetenv("WAYLAND_DISPLAY");
    }
    // The style the program uses.
    QQuickStyle::setStyle("Fusion");
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
