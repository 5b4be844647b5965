#include "ui/shell/window_frame.h"

#include <algorithm>
#include <sstream>

namespace kd {

std::string frameText(const WindowFrame& frame) {
    return std::to_string(frame.x) + ' ' + std::to_string(frame.y) + ' ' +
           std::to_string(frame.width) + ' ' + std::to_string(frame.height);
}

std::optional<WindowFrame> frameFromText(const std::string& text, int minimumWidth,
                                         int minimumHeight) {
    std::istringstream in(text);
    WindowFrame frame;
    if (!(in >> frame.x >> frame.y >> frame.width >> frame.height)) return std::nullopt;
    in >> std::ws;
    if (!in.eof()) return std::nullopt;
    frame.width = std::max(frame.width, minimumWidth);
    frame.height = std::max(frame.height, minimumHeight);
    return frame;
}

}  // namespace kd
