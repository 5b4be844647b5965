#include "virtual/qr_code.h"

#include <qrencode.h>

#include <memory>

namespace kd {

namespace {

constexpr int kImageScale = 8;
constexpr int kImageMargin = 1;
constexpr int kTerminalMargin = 4;

}  // namespace

bool QrModules::at(int x, int y) const {
    if (x < 0 || y < 0 || x >= size || y >= size) return false;
    return dark[static_cast<std::size_t>(y) * static_cast<std::size_t>(size) +
                static_cast<std::size_t>(x)];
}

std::optional<QrModules> qrModules(std::string_view text) {
    if (text.empty()) return std::nullopt;
    const std::unique_ptr<QRcode, decltype(&QRcode_free)> code(
        QRcode_encodeData(static_cast<int>(text.size()),
                          reinterpret_cast<const unsigned char*>(text.data()), 0, QR_ECLEVEL_M),
        QRcode_free);
    if (!code) return std::nullopt;
    QrModules modules;
    modules.size = code->width;
    const auto count =
        static_cast<std::size_t>(code->width) * static_cast<std::size_t>(code->width);
    modules.dark.reserve(count);
    // Bit 0 of each byte is the module's colour; the others describe its role.
    for (std::size_t i = 0; i < count; ++i) modules.dark.push_back((code->data[i] & 1) != 0);
    return modules;
}

std::optional<Image> qrImage(std::string_view text) {
    const auto modules = qrModules(text);
    if (!modules) return std::nullopt;
    const int span = modules->size + 2 * kImageMargin;
    Image image;
    image.width = image.height = span * kImageScale;
    image.rgba.assign(static_cast<std::size_t>(image.width) * image.height * 4, 0xff);
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            if (!modules->at(x / kImageScale - kImageMargin, y / kImageScale - kImageMargin))
                continue;
            auto* pixel = &image.rgba[(static_cast<std::size_t>(y) * image.width + x) * 4];
            pixel[0] = pixel[1] = pixel[2] = 0;
        }
    }
    return image;
}

std::vector<std::string> terminalQr(std::string_view text) {
    const auto modules = qrModules(text);
    if (!modules) return {};
    const int first = -kTerminalMargin;
    const int end = modules->size + kTerminalMargin;
    std::vector<std::string> lines;
    for (int y = first; y < end; y += 2) {
        std::string line = "\x1b[30;107m";  // black on bright white
        for (int x = first; x < end; ++x) {
            const bool top = modules->at(x, y);
            const bool bottom = y + 1 < end && modules->at(x, y + 1);
            line += top && bottom ? "\u2588" : top ? "\u2580" : bottom ? "\u2584" : " ";
        }
        lines.push_back(line + "\x1b[0m");
    }
    return lines;
}

}  // namespace kd
