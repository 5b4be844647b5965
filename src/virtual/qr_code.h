#pragma once

// QR codes for the share address: a picture for the window and a drawing
// for the terminal. Error correction level M, the text's UTF-8 bytes as the
// message.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/image.h"

namespace kd {

// The code's modules, true for dark, with no quiet zone.
struct QrModules {
    int size = 0;
    std::vector<bool> dark;  // size * size, rows top down
    bool at(int x, int y) const;
};

std::optional<QrModules> qrModules(std::string_view text);

// Black on white, each module 8 × 8 pixels, with one module of light margin
// on each side as the Mac's generator gives. No image for empty text or text
// too long for a QR code.
std::optional<Image> qrImage(std::string_view text);

// Lines of half-block characters, two module rows per line, inside a quiet
// zone of four modules; colours are set explicitly so the code scans on
// dark and light terminals alike. Empty for text that has no code.
std::vector<std::string> terminalQr(std::string_view text);

}  // namespace kd
