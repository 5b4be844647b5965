#include "model/host_info.h"

namespace kd {

std::string HostInfo::shortLabel() const {
    const auto at = label.find(kPartSeparator);
    return at == std::string::npos ? label : label.substr(0, at);
}

}  // namespace kd
