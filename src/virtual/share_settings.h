#pragma once

// The browser share's stored choices and the values they give. Whatever a
// stored value holds (absent, zero, negative, far too large, the wrong type),
// the result is a stream a browser can use.

#include "platform/preferences.h"

namespace kd {

inline constexpr const char* kShareFpsKey = "share.fps";
inline constexpr const char* kShareWidthKey = "share.width";
inline constexpr const char* kShareQualityKey = "share.quality";

struct ShareSettings {
    int fps = 30;
    int maxWidth = 1920;
    double quality = 0.75;
    friend bool operator==(const ShareSettings&, const ShareSettings&) = default;
};

inline constexpr int kShareMinFps = 30;
inline constexpr int kShareMaxFps = 120;
inline constexpr int kShareMinWidth = 640;

int usableShareFps(std::int64_t requested);
int usableShareWidth(std::int64_t requested);  // 0 means the default width
double usableShareQuality(double requested);

ShareSettings readShareSettings(const PreferenceReader& defaults);

}  // namespace kd
