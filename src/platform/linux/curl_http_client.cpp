#include "platform/linux/curl_http_client.h"

#include <curl/curl.h>

#include <memory>
#include <mutex>
#include <string_view>

namespace kd {

namespace {

struct EasyFree {
    void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};
struct ListFree {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

struct Sink {
    std::string body;
    std::size_t limit = 0;
    // True once the last head seen ended with its blank line: libcurl takes a
    // connection closed in the middle of the head for a complete answer.
    bool headEnded = false;
};

std::size_t headLine(char* data, std::size_t size, std::size_t count, void* user) {
    const std::string_view line(data, size * count);
    static_cast<Sink*>(user)->headEnded = line == "\r\n" || line == "\n";
    return line.size();
}

// Returning fewer bytes than offered makes libcurl abort the transfer.
std::size_t collect(char* data, std::size_t size, std::size_t count, void* user) {
    auto* sink = static_cast<Sink*>(user);
    const std::size_t bytes = size * count;
    if (bytes > sink->limit - sink->body.size()) return 0;
    sink->body.append(data, bytes);
    return bytes;
}

bool isPlainHeaderText(std::string_view text) {
    return text.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos;
}

using HeaderList = std::unique_ptr<curl_slist, ListFree>;

bool append(HeaderList& list, const std::string& line) {
    curl_slist* longer = curl_slist_append(list.get(), line.c_str());
    if (!longer) return false;
    (void)list.release();  // the same list, now one longer
    list.reset(longer);
    return true;
}

bool setMethod(CURL* easy, const HttpRequest& request) {
    const std::string& method = request.method;
    if (method != "GET" && method != "POST" && method != "PUT" && method != "DELETE") {
        return false;
    }
    const bool withBody = !request.body.empty() || method == "POST" || method == "PUT";
    if (withBody) {
        curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE,
                         static_cast<curl_off_t>(request.body.size()));
        curl_easy_setopt(easy, CURLOPT_POSTFIELDS, request.body.data());
    }
    // A body makes libcurl send a POST, so every other method is named outright.
    if (method != "POST" && (withBody || method != "GET")) {
        curl_easy_setopt(easy, CURLOPT_CUSTOMREQUEST, method.c_str());
    }
    return true;
}

}  // namespace

CurlHttpClient::CurlHttpClient() {
    // Not thread-safe in every libcurl build, so done once, before any request.
    static std::once_flag initialised;
    std::call_once(initialised, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

std::optional<HttpResponse> CurlHttpClient::perform(const HttpRequest& request) {
    if (request.timeout.count() <= 0) return std::nullopt;
    const std::unique_ptr<CURL, EasyFree> easy(curl_easy_init());
    if (!easy) return std::nullopt;
    CURL* e = easy.get();

    HeaderList headers;
    for (const auto& [name, value] : request.headers) {
        if (!isPlainHeaderText(name) || !isPlainHeaderText(value)) return std::nullopt;
        if (!append(headers, std::string(name).append(": ").append(value))) return std::nullopt;
    }
    // Without this libcurl waits up to a second, before sending a larger
    // body, for a "100 Continue" that small servers never send.
    if (!append(headers, "Expect:")) return std::nullopt;

    Sink sink{{}, request.maxBodyBytes};
    curl_easy_setopt(e, CURLOPT_URL, request.url.c_str());
    curl_easy_setopt(e, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(e, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(e, CURLOPT_TIMEOUT_MS, static_cast<long>(request.timeout.count()));
    curl_easy_setopt(e, CURLOPT_HTTPHEADER, headers.get());
    curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, collect);
    curl_easy_setopt(e, CURLOPT_WRITEDATA, &sink);
    curl_easy_setopt(e, CURLOPT_HEADERFUNCTION, headLine);
    curl_easy_setopt(e, CURLOPT_HEADERDATA, &sink);
    // Refuses at once a body whose announced length is over the limit.
    curl_easy_setopt(e, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(request.maxBodyBytes));
    if (!setMethod(e, request)) return std::nullopt;

    if (curl_easy_perform(e) != CURLE_OK || !sink.headEnded) return std::nullopt;
    long status = 0;
    curl_easy_getinfo(e, CURLINFO_RESPONSE_CODE, &status);
    return HttpResponse{status, std::move(sink.body)};
}

}  // namespace kd
