#include "model/device.h"

namespace kd {

const char* toString(DeviceKind kind) {
    switch (kind) {
        case DeviceKind::ipad:
            return "ipad";
        case DeviceKind::appletv:
            return "appletv";
        case DeviceKind::tv:
            return "tv";
    }
    return "tv";
}

}  // namespace kd
