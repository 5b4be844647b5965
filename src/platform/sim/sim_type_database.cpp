#include "platform/sim/sim_type_database.h"

#include <algorithm>
#include <cmath>

namespace kd {

namespace {

constexpr int kArtSize = 256;

struct Colour {
    std::uint8_t r, g, b, a;
};

class Canvas {
  public:
    Canvas() : image_{kArtSize, kArtSize, std::vector<std::uint8_t>(kArtSize * kArtSize * 4, 0)} {}

    // Anti-aliasing is not worth it at this size; corners are cut per pixel.
    void roundedRect(double x, double y, double w, double h, double radius, Colour colour) {
        for (int py = std::max(0, static_cast<int>(y));
             py < std::min(kArtSize, static_cast<int>(y + h)); ++py) {
            for (int px = std::max(0, static_cast<int>(x));
                 px < std::min(kArtSize, static_cast<int>(x + w)); ++px) {
                const double cx = std::clamp(px + 0.5, x + radius, x + w - radius);
                const double cy = std::clamp(py + 0.5, y + radius, y + h - radius);
                if (std::hypot(px + 0.5 - cx, py + 0.5 - cy) > radius) continue;
                auto* pixel = &image_.rgba[(static_cast<std::size_t>(py) * kArtSize + px) * 4];
                pixel[0] = colour.r;
                pixel[1] = colour.g;
                pixel[2] = colour.b;
                pixel[3] = colour.a;
            }
        }
    }
    Image take() { return std::move(image_); }

  private:
    Image image_;
};

Image drawAppleTV() {
    Canvas canvas;
    canvas.roundedRect(40, 96, 176, 72, 18, {24, 24, 26, 255});
    canvas.roundedRect(48, 100, 160, 10, 5, {70, 70, 74, 255});
    canvas.roundedRect(60, 170, 136, 6, 3, {12, 12, 12, 160});
    return canvas.take();
}

Image drawIPad() {
    Canvas canvas;
    canvas.roundedRect(28, 52, 200, 152, 16, {196, 198, 202, 255});
    canvas.roundedRect(36, 60, 184, 136, 10, {10, 10, 12, 255});
    return canvas.take();
}

Image drawMacLaptop() {
    Canvas canvas;
    canvas.roundedRect(44, 48, 168, 112, 10, {60, 60, 64, 255});
    canvas.roundedRect(50, 54, 156, 100, 6, {10, 10, 12, 255});
    canvas.roundedRect(24, 162, 208, 12, 6, {178, 180, 184, 255});
    return canvas.take();
}

}  // namespace

SimTypeDatabase::SimTypeDatabase()
    : byModel_{
          {"AppleTV5,3", {"Apple TV HD", Art::appleTV}},
          {"AppleTV6,2", {"Apple TV 4K", Art::appleTV}},
          {"AppleTV11,1", {"Apple TV 4K (2nd generation)", Art::appleTV}},
          {"AppleTV14,1", {"Apple TV 4K (3rd generation)", Art::appleTV}},
          {"iPad8,9", {"iPad Pro (11-inch) (2nd generation)", Art::iPad}},
          {"iPad8,10", {"iPad Pro (11-inch) (2nd generation)", Art::iPad}},
          {"iPad8,11", {"iPad Pro (12.9-inch) (4th generation)", Art::iPad}},
          {"iPad8,12", {"iPad Pro (12.9-inch) (4th generation)", Art::iPad}},
          {"iPad13,1", {"iPad Air (4th generation)", Art::iPad}},
          {"iPad13,2", {"iPad Air (4th generation)", Art::iPad}},
          {"iPad13,4", {"iPad Pro (11-inch) (3rd generation)", Art::iPad}},
          {"iPad13,8", {"iPad Pro (12.9-inch) (5th generation)", Art::iPad}},
          {"iPad13,16", {"iPad Air (5th generation)", Art::iPad}},
          {"iPad13,18", {"iPad (10th generation)", Art::iPad}},
          {"iPad14,1", {"iPad mini (6th generation)", Art::iPad}},
          {"iPad14,3", {"iPad Pro (11-inch) (4th generation)", Art::iPad}},
          {"iPad14,5", {"iPad Pro (12.9-inch) (6th generation)", Art::iPad}},
          {"iPad14,8", {"iPad Air 11-inch (M2)", Art::iPad}},
          {"iPad14,10", {"iPad Air 13-inch (M2)", Art::iPad}},
          {"iPad16,3", {"iPad Pro 11-inch (M4)", Art::iPad}},
          {"iPad16,4", {"iPad Pro 11-inch (M4)", Art::iPad}},
          {"iPad16,5", {"iPad Pro 13-inch (M4)", Art::iPad}},
          {"iPad16,6", {"iPad Pro 13-inch (M4)", Art::iPad}},
          {"Mac14,2", {"MacBook Air (M2, 2022)", Art::macLaptop}},
          {"Mac15,3", {"MacBook Pro (14-inch, Nov 2023)", Art::macLaptop}},
          {"Mac15,6", {"MacBook Pro (14-inch, Nov 2023)", Art::macLaptop}},
      } {}

std::vector<ContentType> SimTypeDatabase::types(const std::string& tag,
                                                const std::string& tagClass) const {
    if (tagClass != kDeviceModelCodeTagClass) return {};
    const auto found = byModel_.find(tag);
    if (found == byModel_.end()) return {};
    ContentType type{"com.apple." + tag, found->second.description, std::nullopt};
    switch (found->second.art) {
        case Art::appleTV:
            type.icon = drawAppleTV();
            break;
        case Art::iPad:
            type.icon = drawIPad();
            break;
        case Art::macLaptop:
            type.icon = drawMacLaptop();
            break;
    }
    return {type};
}

}  // namespace kd
