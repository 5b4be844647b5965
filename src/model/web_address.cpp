#include "model/web_address.h"

#include <curl/curl.h>

#include <memory>
#include <optional>

namespace kd {

namespace {

struct UrlFree {
    void operator()(CURLU* url) const { curl_url_cleanup(url); }
};
struct PartFree {
    void operator()(char* part) const { curl_free(part); }
};

std::optional<std::string> part(CURLU* url, CURLUPart which) {
    char* raw = nullptr;
    if (curl_url_get(url, which, &raw, 0) != CURLUE_OK || raw == nullptr) return std::nullopt;
    const std::unique_ptr<char, PartFree> owned(raw);
    return std::string(owned.get());
}

}  // namespace

bool isWebAddress(const std::string& text) {
    // libcurl reads "http:///path" as the host "path"; an address names its
    // host right after the two slashes.
    const auto slashes = text.find("://");
    if (slashes == std::string::npos || text.compare(slashes + 3, 1, "/") == 0) return false;
    const std::unique_ptr<CURLU, UrlFree> url(curl_url());
    if (!url || curl_url_set(url.get(), CURLUPART_URL, text.c_str(), 0) != CURLUE_OK) return false;
    const auto scheme = part(url.get(), CURLUPART_SCHEME);
    const auto host = part(url.get(), CURLUPART_HOST);
    return scheme && (*scheme == "http" || *scheme == "https") && host && !host->empty();
}

}  // namespace kd
