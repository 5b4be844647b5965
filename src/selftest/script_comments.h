#pragma once

// Generated scripts carry comment lines explaining their choices. Checks that
// read a script's text look at what it does, never at what it says about
// itself, so they read it through this.

#include <string>
#include <string_view>

namespace kd {

// Every line cut at its first "--", the lines joined again with line feeds.
std::string withoutScriptComments(std::string_view script);

}  // namespace kd
