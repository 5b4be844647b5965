#pragma once

#include <optional>
#include <string>

#include "model/device.h"
#include "platform/image.h"
#include "platform/type_database.h"

namespace kd {

// The system's own name for a model identifier; nothing for an empty model,
// an unknown one, or a type the system gives no description.
std::optional<std::string> marketingName(const TypeDatabase& types, const std::string& model);

// The system's artwork for a device: iPads and Apple TVs only, an empty model
// standing for the newest of its kind. Nothing means draw the fallback picture.
std::optional<Image> systemArtwork(const TypeDatabase& types, DeviceKind kind,
                                   const std::string& model);

}  // namespace kd
