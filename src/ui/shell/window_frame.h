#pragma once

// The main window's frame as the preference store keeps it under
// "MainWindow": "x y width height", whole points.

#include <optional>
#include <string>

namespace kd {

inline constexpr const char* kMainWindowFrameKey = "MainWindow";

struct WindowFrame {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    friend bool operator==(const WindowFrame&, const WindowFrame&) = default;
};

std::string frameText(const WindowFrame& frame);

// None for anything but four whole numbers; a size below `minimum` grows to
// it, so a damaged entry cannot bring the window back too small to use.
std::optional<WindowFrame> frameFromText(const std::string& text, int minimumWidth,
                                         int minimumHeight);

}  // namespace kd
