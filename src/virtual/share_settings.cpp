#include "virtual/share_settings.h"

#include <algorithm>
#include <cmath>

namespace kd {

int usableShareFps(std::int64_t requested) {
    return static_cast<int>(std::clamp<std::int64_t>(requested, kShareMinFps, kShareMaxFps));
}

int usableShareWidth(std::int64_t requested) {
    if (requested == 0) return ShareSettings{}.maxWidth;
    // A width beyond any screen is as good as no cap; keep it an int.
    return static_cast<int>(std::clamp<std::int64_t>(requested, kShareMinWidth, 16384));
}

double usableShareQuality(double requested) {
    if (!std::isfinite(requested) || requested <= 0) return ShareSettings{}.quality;
    return std::min(requested, 1.0);
}

ShareSettings readShareSettings(const PreferenceReader& defaults) {
    ShareSettings settings;
    settings.fps = usableShareFps(defaults.integer(kShareFpsKey).value_or(settings.fps));
    settings.maxWidth = usableShareWidth(defaults.integer(kShareWidthKey).value_or(0));
    if (auto quality = defaults.number(kShareQualityKey))
        settings.quality = usableShareQuality(*quality);
    return settings;
}

}  // namespace kd
