#include "transport/airplay_info.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/sim/virtual_scheduler.h"
#include "transport/binary_plist.h"
#include "transport/property_list.h"

namespace kd {
namespace {

using namespace std::chrono_literals;
using namespace std::string_literals;

enum class Format { binary, xml };

// A reply as a receiver writes it, in either form.
std::string encoded(plist_t list, Format format) {
    char* bytes = nullptr;
    std::uint32_t length = 0;
    if (format == Format::binary) {
        plist_to_bin(list, &bytes, &length);
    } else {
        plist_to_xml(list, &bytes, &length);
    }
    std::string out(bytes, length);
    std::free(bytes);
    plist_free(list);
    return out;
}

plist_t fullInfo(std::uint64_t features) {
    plist_t dict = plist_new_dict();
    plist_dict_set_item(dict, "model", plist_new_string("AppleTV14,1"));
    plist_dict_set_item(dict, "features", plist_new_uint(features));
    plist_dict_set_item(dict, "receiverHDRCapability", plist_new_string("4k60"));
    plist_dict_set_item(dict, "osBuildVersion", plist_new_string("21K79"));
    plist_dict_set_item(dict, "sourceVersion", plist_new_string("770.8.1"));
    plist_dict_set_item(dict, "name", plist_new_string("Living Room"));
    return dict;
}

const AirPlayInfo kFullInfo{"AppleTV14,1", "4k60", true, "21K79", "770.8.1"};

TEST(AirPlayInfoTest, ReadsTheFiveFieldsFromEitherForm) {
    for (const Format format : {Format::binary, Format::xml}) {
        EXPECT_EQ(parseAirPlayInfo(encoded(fullInfo(0x1E5A7FFFF7), format)), kFullInfo);
    }
}

TEST(AirPlayInfoTest, TakesEachFieldOnlyWhenItHasTheRightType) {
    struct Case {
        const char* what;
        plist_t features;
        plist_t model;
        bool supportsScreen;
        std::optional<std::string> readModel;
    };
    const Case cases[] = {
        {"bit 7 clear", plist_new_uint(0x7F), plist_new_string("A"), false, "A"},
        {"only bit 7", plist_new_uint(0x80), plist_new_string("A"), true, "A"},
        {"features as text", plist_new_string("0x80"), plist_new_uint(3), false, std::nullopt},
        {"features as a real", plist_new_real(128.0), plist_new_bool(1), false, std::nullopt},
        {"features missing", nullptr, plist_new_data("AB", 2), false, std::nullopt},
    };
    for (const auto& c : cases) {
        plist_t dict = plist_new_dict();
        if (c.features) plist_dict_set_item(dict, "features", c.features);
        plist_dict_set_item(dict, "model", c.model);
        const auto info = parseAirPlayInfo(encoded(dict, Format::binary));
        ASSERT_TRUE(info) << c.what;
        EXPECT_EQ(info->supportsScreen, c.supportsScreen) << c.what;
        EXPECT_EQ(info->model, c.readModel) << c.what;
        EXPECT_FALSE(info->osBuild) << c.what;
    }
}

TEST(AirPlayInfoTest, TextWithBadBytesOrANulIsNotTaken) {
    // libplist keeps the bytes of a binary list's one-byte text as they are.
    test::BinaryPlist list;
    const auto key = list.add(test::BinaryPlist::ascii("model"));
    const auto value = list.add(test::BinaryPlist::ascii("TV\xff"));
    const auto root = list.add(test::BinaryPlist::dict({key}, {value}));
    const auto info = parseAirPlayInfo(list.build(root));
    ASSERT_TRUE(info);
    EXPECT_FALSE(info->model);

    // XML text keeps a NUL, which libplist's own string getter aborts on.
    const std::string xml = "<plist><dict><key>model</key><string>TV\0X</string>"s +
                            "<key>sourceVersion</key><string>770.8.1</string></dict></plist>";
    const auto withNul = parseAirPlayInfo(xml);
    ASSERT_TRUE(withNul);
    EXPECT_FALSE(withNul->model);
    EXPECT_EQ(withNul->sourceVersion, "770.8.1");
}

TEST(AirPlayInfoTest, AReplyThatIsNoDictionaryGivesNothing) {
    plist_t array = plist_new_array();
    plist_array_append_item(array, fullInfo(0x80));
    const std::string truncated = encoded(fullInfo(0x80), Format::binary);
    const std::string cases[] = {
        "",
        "<html><body>Not Found</body></html>",
        encoded(array, Format::xml),
        encoded(plist_new_string("model"), Format::binary),
        truncated.substr(0, truncated.size() - 1),
        std::string(10 << 20, 'a'),
    };
    for (const auto& bytes : cases) {
        EXPECT_FALSE(parseAirPlayInfo(bytes)) << bytes.substr(0, 40);
    }
}

// ---- Fetching ---------------------------------------------------------------

class RecordingHttpClient : public HttpClient {
  public:
    explicit RecordingHttpClient(std::optional<HttpResponse> answer) : answer_(std::move(answer)) {}
    std::optional<HttpResponse> perform(const HttpRequest& request) override {
        requests.push_back(request);
        return answer_;
    }
    std::vector<HttpRequest> requests;

  private:
    std::optional<HttpResponse> answer_;
};

struct Delivery {
    int calls = 0;
    bool onMain = false;
    std::optional<AirPlayInfo> info;
};

Delivery fetch(RecordingHttpClient& http, const std::string& host, int port) {
    VirtualScheduler scheduler;
    Delivery delivery;
    fetchAirPlayInfo(http, scheduler, host, port, [&](std::optional<AirPlayInfo> info) {
        ++delivery.calls;
        delivery.onMain = scheduler.onMainThread();
        delivery.info = std::move(info);
    });
    EXPECT_EQ(delivery.calls, 0) << "called before fetchAirPlayInfo returned";
    EXPECT_TRUE(http.requests.empty()) << "sent from the calling thread";
    scheduler.runUntilIdle();
    return delivery;
}

TEST(AirPlayInfoTest, FetchSendsOneBoundedGetAndDeliversOnTheMainQueue) {
    // A receiver that answers with an error status still has its body read.
    RecordingHttpClient http(HttpResponse{404, encoded(fullInfo(0x80), Format::binary)});
    const Delivery delivery = fetch(http, "Living-Room.local", 7000);

    ASSERT_EQ(http.requests.size(), 1u);
    const HttpRequest& sent = http.requests.front();
    EXPECT_EQ(sent.method, "GET");
    EXPECT_EQ(sent.url, "http://Living-Room.local:7000/info");
    EXPECT_EQ(sent.timeout, 3s);
    EXPECT_EQ(sent.maxBodyBytes, 1u << 20);
    EXPECT_TRUE(sent.headers.empty());
    EXPECT_TRUE(sent.body.empty());
    EXPECT_EQ(delivery.calls, 1);
    EXPECT_TRUE(delivery.onMain);
    EXPECT_EQ(delivery.info, kFullInfo);
}

// A receiver that does not answer, or a host that is refused, gives nothing.
TEST(AirPlayInfoTest, HostsFromTheNetworkMustBePlainHostNames) {
    struct Case {
        std::string host;
        int port;
        bool sent;
    };
    const Case cases[] = {
        {"Living-Room.local", 1, true},
        {"192.168.1.20", 65535, true},
        {"", 7000, false},
        {"tv.local", 0, false},
        {"tv.local", 65536, false},
        {"tv.local:80", 7000, false},
        {"tv.local/admin?x=", 7000, false},
        {"tv.local\r\nX-Injected: 1", 7000, false},
        {"Гостиная.local", 7000, false},
        {std::string("tv\0.local", 9), 7000, false},
    };
    for (const auto& c : cases) {
        RecordingHttpClient http(std::nullopt);
        const Delivery delivery = fetch(http, c.host, c.port);
        EXPECT_EQ(http.requests.size(), c.sent ? 1u : 0u) << c.host << ':' << c.port;
        EXPECT_EQ(delivery.calls, 1) << c.host;
        EXPECT_TRUE(delivery.onMain) << c.host;
        EXPECT_FALSE(delivery.info) << c.host;
    }
}

}  // namespace
}  // namespace kd
