#include <algorithm>

#include "selftest/groups.h"
#include "virtual/browser_share.h"
#include "virtual/qr_code.h"
#include "virtual/share_token.h"
#include "virtual/share_urls.h"

namespace kd::groups {

namespace {

bool hasAddressForm(const std::string& url, std::uint16_t port, const std::string& token) {
    const std::string scheme = "http://";
    const auto tail = ":" + std::to_string(port) + "/" + token;
    return url.starts_with(scheme) && url.ends_with(tail) &&
           url.size() > scheme.size() + tail.size();
}

bool unguessable(const std::string& token) {
    return token.size() == kShareTokenLength && std::all_of(token.begin(), token.end(), [](char c) {
               return kShareTokenAlphabet.find(c) != std::string_view::npos;
           });
}

}  // namespace

void testBrowserShare(SelfTest& t, SelfTestContext& context) {
    // Built, never started: nothing listens and nothing is stored.
    BrowserShare share(context.platform);
    t.check("nothing is served until it is started", !share.running.get());
    t.check("nobody is watching", share.viewers.get() == 0);

    const auto& token = share.token();
    auto urls = share.urls();
    // A machine without a network lists nothing; the form is checked on a
    // typical address all the same.
    urls.push_back(shareUrls({{"en0", true, false, "192.168.1.2"}}, share.port(), token).front());
    t.check("every address is http://host:port/token",
            std::all_of(urls.begin(), urls.end(), [&](const std::string& url) {
                return hasAddressForm(url, share.port(), token);
            }));
    BrowserShare other(context.platform);
    t.check("the token is ten characters of its alphabet and new to every share",
            unguessable(token) && other.token() != token, [&] { return token; });

    t.check("an address becomes a scannable code",
            qrImage("http://192.168.1.2:8765/abc123").has_value());
    t.check("and an empty string does not pretend to", !qrImage("").has_value());

    t.check("frames per second is a usable number", share.fps.get() >= 1 && share.fps.get() <= 120,
            [&] { return std::to_string(share.fps.get()); });
    t.check("the width is a usable number", share.maxWidth.get() >= 640,
            [&] { return std::to_string(share.maxWidth.get()); });
    t.check("quality is a fraction", share.quality.get() > 0 && share.quality.get() <= 1,
            [&] { return std::to_string(share.quality.get()); });
}

}  // namespace kd::groups
