#include "model/marketing_name.h"

namespace kd {

std::optional<std::string> marketingName(const TypeDatabase& types, const std::string& model) {
    if (model.empty()) return std::nullopt;
    const auto found = types.types(model, kDeviceModelCodeTagClass);
    if (found.empty()) return std::nullopt;
    return found.front().localizedDescription;
}

std::optional<Image> systemArtwork(const TypeDatabase& types, DeviceKind kind,
                                   const std::string& model) {
    std::string lookup = model;
    switch (kind) {
        case DeviceKind::tv:
            return std::nullopt;
        case DeviceKind::ipad:
            if (lookup.empty()) lookup = "iPad16,6";
            break;
        case DeviceKind::appletv:
            if (lookup.empty()) lookup = "AppleTV14,1";
            break;
    }
    for (const auto& type : types.types(lookup, kDeviceModelCodeTagClass)) {
        if (type.icon && !type.icon->empty()) return type.icon;
    }
    return std::nullopt;
}

}  // namespace kd
