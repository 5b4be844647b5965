#include "ui/dock/dock_texts.h"

#include "model/host_info.h"

namespace kd {

std::string deviceSubtitle(DeviceKind kind, bool connected, bool mirrored) {
    std::string subtitle;
    switch (kind) {
        case DeviceKind::ipad:
            subtitle = "Sidecar";
            break;
        case DeviceKind::appletv:
            subtitle = std::string("Apple TV") + kPartSeparator + "AirPlay";
            break;
        case DeviceKind::tv:
            subtitle = std::string("TV") + kPartSeparator + "AirPlay";
            break;
    }
    if (connected)
        subtitle += kPartSeparator + std::string(mirrored ? "mirrored" : "extended") + " display";
    return subtitle;
}

std::string placementHelp(Side side, const std::optional<std::string>& occupant) {
    if (occupant) return *occupant + " is already there";
    switch (side) {
        case Side::left:
            return "Extend to the left";
        case Side::top:
            return "Extend upward";
        case Side::right:
            return "Extend to the right";
    }
    return "";
}

std::string displaySettingsHelp(const std::optional<ModePref>& pinned,
                                const std::string& deviceName) {
    if (!pinned) return "Resolution, refresh rate and HDR for this device";
    std::string text = std::to_string(pinned->width) + " \u00D7 " + std::to_string(pinned->height);
    if (pinned->hidpi) text += " HiDPI";
    if (pinned->refresh >= 1) text += kPartSeparator + std::to_string(pinned->refresh) + " Hz";
    return text + " pinned for " + deviceName + " \u2014 click to change";
}

std::string deviceArtworkID(DeviceKind kind, const std::string& model, bool lit) {
    return std::string(toString(kind)) + (lit ? "/lit/" : "/off/") + model;
}

std::string macArtworkID(const std::string& model) {
    return "mac/lit/" + model;
}

}  // namespace kd
