#pragma once

// The self-contained page a browser gets at the share's address: it polls
// single frames under the token, keeps the screen awake and reconnects by
// itself. The page text lives in resources/viewer/viewer.html, with its two
// keep-awake clips inlined when the build is configured.

#include <string>
#include <string_view>

namespace kd {

// The page for `token`, which occurs in it once, inside the frame address.
// The token is the server's own secret, made of characters that need no
// escaping in a URL path or a script string.
std::string viewerPage(std::string_view token);

}  // namespace kd
