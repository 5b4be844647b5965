#include "update/update_feed.h"

#include <curl/curl.h>

#include <memory>
#include <string_view>

#include "model/web_address.h"

namespace kd::UpdateFeed {

namespace {

struct UrlFree {
    void operator()(CURLU* url) const { curl_url_cleanup(url); }
};
struct PartFree {
    void operator()(char* part) const { curl_free(part); }
};
using Url = std::unique_ptr<CURLU, UrlFree>;

Url parsed(const std::string& text) {
    Url url(curl_url());
    if (!url || curl_url_set(url.get(), CURLUPART_URL, text.c_str(), 0) != CURLUE_OK) return {};
    return url;
}

std::optional<std::string> part(const Url& url, CURLUPart which) {
    char* raw = nullptr;
    if (curl_url_get(url.get(), which, &raw, 0) != CURLUE_OK || raw == nullptr) {
        return std::nullopt;
    }
    const std::unique_ptr<char, PartFree> owned(raw);
    return std::string(owned.get());
}

// The query's pairs as written, less those named "product" (in any
// spelling of the name's encoding that a server would decode to it).
std::string queryWithoutProduct(std::string_view query) {
    std::string kept;
    while (!query.empty()) {
        const auto amp = query.find('&');
        const auto pair = query.substr(0, amp);
        query = amp == std::string_view::npos ? std::string_view() : query.substr(amp + 1);
        const auto name = pair.substr(0, pair.find('='));
        int length = 0;
        char* decoded =
            curl_easy_unescape(nullptr, name.data(), static_cast<int>(name.size()), &length);
        const std::unique_ptr<char, PartFree> owned(decoded);
        if (pair.empty() || (owned && std::string_view(owned.get(), length) == "product")) {
            continue;
        }
        if (!kept.empty()) kept += '&';
        kept += pair;
    }
    return kept;
}

}  // namespace

std::string url(const PreferenceReader& defaults) {
    const auto stored = defaults.text(urlDefaultsKey);
    return stored && isWebAddress(*stored) ? *stored : std::string(builtInURL);
}

std::optional<std::string> requestURL(const std::string& feed) {
    if (!isWebAddress(feed)) return std::nullopt;
    const auto url = parsed(feed);
    std::string query = queryWithoutProduct(part(url, CURLUPART_QUERY).value_or(""));
    if (!query.empty()) query += '&';
    query += std::string("product=") + productID;
    if (curl_url_set(url.get(), CURLUPART_QUERY, query.c_str(), 0) != CURLUE_OK) {
        return std::nullopt;
    }
    return part(url, CURLUPART_URL);
}

}  // namespace kd::UpdateFeed
