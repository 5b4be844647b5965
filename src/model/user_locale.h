#pragma once

// The user's locale as the system names it to services: "en_US".

#include <string>

namespace kd {

// Language and region of the process's locale; "en_US" when it names neither.
std::string userLocaleIdentifier();

}  // namespace kd
