#pragma once

// Whether a stored address can be used to reach a web service.

#include <string>

namespace kd {

// True for an absolute http or https address that names its host.
bool isWebAddress(const std::string& text);

}  // namespace kd
