#include "ui/shell/app_theme.h"

namespace kd {

void AppTheme::setDark(bool dark) {
    if (dark == dark_) return;
    dark_ = dark;
    emit changed();
}

}  // namespace kd
