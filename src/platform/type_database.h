#pragma once

// The system's content-type database, asked for the types that carry a tag.
//
// Contract: may be called from any thread; answers synchronously; owns
// nothing the caller keeps. Used for device marketing names and artwork.

#include <optional>
#include <string>
#include <vector>

#include "platform/image.h"

namespace kd {

// The tag class under which the system files hardware model identifiers.
inline constexpr const char* kDeviceModelCodeTagClass = "com.apple.device-model-code";

struct ContentType {
    std::string identifier;
    std::optional<std::string> localizedDescription;
    std::optional<Image> icon;  // the system's artwork for the type, when it has one
};

class TypeDatabase {
  public:
    virtual ~TypeDatabase() = default;
    // Every type whose tag of `tagClass` is `tag`, with no conformance requirement.
    virtual std::vector<ContentType> types(const std::string& tag,
                                           const std::string& tagClass) const = 0;
};

}  // namespace kd
