#pragma once

// The appearance port over Qt: the application palette for the controls and
// the theme object for our own drawing, dark or light. With nothing forced
// it follows the desktop, asked each time.
//
// Contract: as the port says; the application object and `theme` must
// outlive it.

#include <functional>

#include "platform/appearance.h"
#include "ui/shell/app_theme.h"

namespace kd {

class QtAppearance final : public Appearance {
  public:
    QtAppearance(AppTheme& theme, std::function<bool()> desktopPrefersDark);
    void setAppearance(std::optional<AppearanceName> name) override;

  private:
    AppTheme& theme_;
    std::function<bool()> desktopPrefersDark_;
};

// The desktop's wish as this machine tells it: gsettings, else the palette
// the application started with.
std::function<bool()> desktopDarkReader();

}  // namespace kd
