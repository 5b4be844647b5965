#include "main/xvfb_pixel_source.h"

#include "platform/linux/xvfb_screen.h"

namespace kd {

namespace {

class XvfbPixelScreen : public SimPixelScreen {
  public:
    explicit XvfbPixelScreen(std::unique_ptr<XvfbScreen> screen) : screen_(std::move(screen)) {}
    const std::string& xDisplayName() const override { return screen_->displayName(); }

  private:
    std::unique_ptr<XvfbScreen> screen_;
};

}  // namespace

std::unique_ptr<SimPixelScreen> XvfbPixelSource::open(int pixelWidth, int pixelHeight) {
    std::string failure;
    auto screen = XvfbScreen::start(pixelWidth, pixelHeight, failure);
    if (!screen) {
        report_(failure);
        return nullptr;
    }
    return std::make_unique<XvfbPixelScreen>(std::move(screen));
}

}  // namespace kd
