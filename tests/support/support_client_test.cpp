#include "support/support_client.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "display/sim_preferences.h"
#include "platform/linux/curl_http_client.h"
#include "platform/sim/virtual_scheduler.h"
#include "support/local_support_service.h"

namespace kd {
namespace {

using namespace std::chrono_literals;
using nlohmann::json;
using test::LocalSupportService;
using Fault = LocalSupportService::Fault;

class PatternRandom : public SecureRandom {
  public:
    void fill(std::span<std::byte> bytes) override {
        for (auto& b : bytes) b = std::byte{0xAB};
    }
};

class SupportClientTest : public ::testing::Test {
  protected:
    SupportClientTest() { defaults.set(SupportConfig::baseDefaultsKey, service.baseURL()); }

    SupportClient makeClient(std::chrono::milliseconds timeout = 20s) {
        return SupportClient({defaults, http, scheduler, random}, "en_US", timeout);
    }

    // Runs one operation to its end: the request goes out from the
    // background queue and the outcome comes back on the main queue.
    template <class T, class Start>
    SupportResult<T> await(Start start) {
        std::optional<SupportResult<T>> outcome;
        start([&](SupportResult<T> result) {
            EXPECT_TRUE(scheduler.onMainThread());
            outcome.emplace(std::move(result));
        });
        EXPECT_FALSE(outcome) << "answered before the call returned";
        scheduler.runUntilIdle();
        if (!outcome) throw std::logic_error("no outcome");
        return std::move(*outcome);
    }

    std::string createTicket(SupportClient& client) {
        const auto token = await<std::string>([&](auto done) {
            client.create("Screen stays black", "It flickers", std::nullopt, done);
        });
        EXPECT_TRUE(token.ok());
        return token.ok() ? token.value() : "";
    }

    LocalSupportService::Received lastRequest() {
        const auto all = service.received();
        if (all.empty()) throw std::logic_error("no request arrived");
        return all.back();
    }

    static std::vector<std::string> headerNames(const LocalSupportService::Received& request) {
        std::vector<std::string> names;
        for (const auto& [name, value] : request.headers) names.push_back(name);
        return names;
    }

    static std::optional<std::string> header(const LocalSupportService::Received& request,
                                             const std::string& name) {
        for (const auto& [n, value] : request.headers) {
            if (n == name) return value;
        }
        return std::nullopt;
    }

    LocalSupportService service;
    SimPreferences defaults;
    CurlHttpClient http;
    VirtualScheduler scheduler;
    PatternRandom random;
};

TEST_F(SupportClientTest, CreateSendsTheTicketWithDeviceAndLocale) {
    SupportClient client = makeClient();
    const std::string token = createTicket(client);
    EXPECT_EQ(token, "tk-1");

    const auto request = lastRequest();
    EXPECT_EQ(request.method, "POST");
    EXPECT_EQ(request.path, "v1/support/ticket");
    EXPECT_EQ(headerNames(request),
              (std::vector<std::string>{"Host", "Accept", "Content-Type", "Content-Length"}));
    EXPECT_EQ(header(request, "Content-Type"), "application/json");
    const json body = json::parse(request.body);
    EXPECT_EQ(body, (json{{"subject", "Screen stays black"},
                          {"message", "It flickers"},
                          {"device_id", "ABABABAB-ABAB-4BAB-ABAB-ABABABABABAB"},
                          {"locale", "en_US"}}))
        << "no diagnostics key at all, not even null";
    EXPECT_EQ(request.body, body.dump()) << "compact";
}

TEST_F(SupportClientTest, CreateCarriesDiagnosticsWhenGiven) {
    SupportClient client = makeClient();
    const auto token = await<std::string>([&](auto done) {
        client.create("Hi", "Text", SupportTicketDiagnostics{"Display 1.4", "macOS 14.5.0", 2},
                      done);
    });
    ASSERT_TRUE(token.ok());
    EXPECT_EQ(json::parse(lastRequest().body)["diagnostics"],
              (json{{"app_version", "Display 1.4"}, {"os", "macOS 14.5.0"}, {"screens", 2}}));
}

TEST_F(SupportClientTest, EveryRequestCarriesItsHeadersAndTheKeyOnlyWhenThereIsOne) {
    SupportClient client = makeClient();
    const std::string token = createTicket(client);

    (void)await<SupportBanner>([&](auto done) { client.banner(done); });
    const auto plainGet = lastRequest();
    EXPECT_EQ(plainGet.method, "GET");
    EXPECT_EQ(plainGet.path, "v1/support/banner");
    EXPECT_EQ(plainGet.body, "");
    EXPECT_EQ(headerNames(plainGet), (std::vector<std::string>{"Host", "Accept", "Content-Type"}));
    EXPECT_EQ(header(plainGet, "Content-Type"), "application/json");

    defaults.set(SupportConfig::apiKeyDefaultsKey, "");
    (void)await<SupportThread>([&](auto done) { client.thread(token, done); });
    EXPECT_EQ(header(lastRequest(), "Authorization"), std::nullopt);

    defaults.set(SupportConfig::apiKeyDefaultsKey, "k-123");
    (void)await<SupportThread>([&](auto done) { client.thread(token, done); });
    EXPECT_EQ(header(lastRequest(), "Authorization"), "Bearer k-123");
    (void)await<SupportDone>([&](auto done) { client.reply(token, "More", done); });
    EXPECT_EQ(header(lastRequest(), "Authorization"), "Bearer k-123");
    EXPECT_EQ(header(lastRequest(), "Content-Type"), "application/json");
}

TEST_F(SupportClientTest, ConversationRoundTripsThroughTheService) {
    SupportClient client = makeClient();
    const std::string token = createTicket(client);
    const auto replied = await<SupportDone>([&](auto done) { client.reply(token, "Still", done); });
    EXPECT_TRUE(replied.ok());
    const auto replyRequest = lastRequest();
    EXPECT_EQ(replyRequest.method, "POST");
    EXPECT_EQ(replyRequest.path, "v1/support/ticket/tk-1/message");
    EXPECT_EQ(json::parse(replyRequest.body), (json{{"message", "Still"}}));

    const std::vector<std::uint8_t> bytes = {'l', 'o', 'g', 0, 0xFF};
    const auto uploaded = await<SupportDone>([&](auto done) {
        client.upload({"/home/me/Desktop/crash log.txt", "text/plain", bytes}, token, done);
    });
    EXPECT_TRUE(uploaded.ok());
    const auto uploadRequest = lastRequest();
    EXPECT_EQ(uploadRequest.path, "v1/support/ticket/tk-1/attachment");
    EXPECT_EQ(json::parse(uploadRequest.body),
              (json{{"filename", "crash log.txt"}, {"mime", "text/plain"}, {"data", "bG9nAP8="}}));

    service.addSupportMessage(token, "Try another cable");
    service.closeTicket(token);
    const auto thread = await<SupportThread>([&](auto done) { client.thread(token, done); });
    ASSERT_TRUE(thread.ok());
    EXPECT_EQ(lastRequest().path, "v1/support/ticket/tk-1");
    EXPECT_EQ(thread.value().publicToken, token);
    EXPECT_EQ(thread.value().subject, "Screen stays black");
    EXPECT_EQ(thread.value().status, "closed");
    const auto& messages = thread.value().messages;
    ASSERT_EQ(messages.size(), 4u);
    EXPECT_EQ(messages[0].body, "It flickers");
    EXPECT_TRUE(messages[0].mine());
    EXPECT_TRUE(messages[0].date()) << messages[0].createdAt;
    EXPECT_EQ(messages[2].attachments,
              (std::vector<SupportAttachment>{
                  {messages[2].attachments.at(0).id, "crash log.txt", "text/plain", 5}}));
    EXPECT_EQ(messages[3].body, "Try another cable");
    EXPECT_FALSE(messages[3].mine());
    EXPECT_TRUE(messages[3].date()) << messages[3].createdAt;

    EXPECT_EQ(client.attachmentURL(token, 42),
              service.baseURL() + "v1/support/ticket/tk-1/attachment/42");
}

TEST_F(SupportClientTest, BannerDecodesFromTheBodyItself) {
    SupportClient client = makeClient();
    const auto banner = await<SupportBanner>([&](auto done) { client.banner(done); });
    ASSERT_TRUE(banner.ok());
    EXPECT_EQ(banner.value(), (SupportBanner{true, "Back on Monday", "info", std::nullopt}));
}

TEST_F(SupportClientTest, WithoutAUsableAddressNothingIsSent) {
    defaults.set(SupportConfig::baseDefaultsKey, "not a url");
    SupportClient client = makeClient();
    const auto created =
        await<std::string>([&](auto done) { client.create("s", "m", std::nullopt, done); });
    EXPECT_EQ(created.error(), SupportError::notConfigured());
    EXPECT_EQ(await<SupportThread>([&](auto done) { client.thread("t", done); }).error(),
              SupportError::notConfigured());
    EXPECT_EQ(await<SupportDone>([&](auto done) { client.reply("t", "m", done); }).error(),
              SupportError::notConfigured());
    EXPECT_EQ(await<SupportDone>([&](auto done) {
                  client.upload({"a", "b", {}}, "t", done);
              }).error(),
              SupportError::notConfigured());
    EXPECT_EQ(await<SupportBanner>([&](auto done) { client.banner(done); }).error(),
              SupportError::notConfigured());
    EXPECT_EQ(client.attachmentURL("t", 1), std::nullopt);
    EXPECT_TRUE(service.received().empty());
}

TEST_F(SupportClientTest, ServiceFaultsMapToTheirErrors) {
    SupportClient client = makeClient();
    const std::string token = createTicket(client);
    const std::pair<Fault, SupportError> cases[] = {
        {Fault::notFound, SupportError::gone()},
        {Fault::rateLimited, SupportError::server(500, "rate_limited")},
        {Fault::nonJsonError, SupportError::server(500, std::nullopt)},
        {Fault::emptyObject, SupportError::network("Malformed reply from the support service")},
        {Fault::connectionReset, SupportError::network("The request did not complete")},
        {Fault::hugeBody, SupportError::network("The request did not complete")},
    };
    for (const auto& [fault, expected] : cases) {
        service.setFault(fault);
        const auto thread = await<SupportThread>([&](auto done) { client.thread(token, done); });
        EXPECT_EQ(thread.error(), expected) << describe(expected);
        const auto reply = await<SupportDone>([&](auto done) { client.reply(token, "m", done); });
        EXPECT_EQ(reply.error(), expected) << describe(expected);
    }
    service.setFault(Fault::rateLimited);
    EXPECT_EQ(
        describe(await<SupportDone>([&](auto done) { client.reply(token, "m", done); }).error()),
        "Too many messages in a row. Try again in a few minutes \u2014 nothing was lost.");
    service.setFault(Fault::nonJsonError);
    EXPECT_EQ(describe(await<SupportBanner>([&](auto done) { client.banner(done); }).error()),
              "Support is having trouble (500). Your text is safe \u2014 try again shortly.");
}

TEST_F(SupportClientTest, StatusDecidesNotTheServicesOk) {
    SupportClient client = makeClient();
    const auto missing = await<SupportThread>([&](auto done) { client.thread("tk-9", done); });
    EXPECT_EQ(missing.error(), SupportError::gone());
    EXPECT_EQ(lastRequest().path, "v1/support/ticket/tk-9");
    (void)await<SupportThread>([&](auto done) { client.thread("tk 9?x=1#y", done); });
    EXPECT_EQ(lastRequest().path, "v1/support/ticket/tk%209%3Fx=1%23y")
        << "a token stays inside the path";

    service.setFault(Fault::okFalse);
    EXPECT_TRUE(await<SupportDone>([&](auto done) { client.reply("tk-9", "m", done); }).ok());
    EXPECT_TRUE(await<SupportDone>([&](auto done) {
                    client.upload({"f", "text/plain", {}}, "tk-9", done);
                }).ok());
}

TEST_F(SupportClientTest, AReplyThatNeverComesEndsAtTheTimeout) {
    SupportClient client = makeClient(300ms);
    const std::string token = createTicket(client);
    service.setFault(Fault::noReply);
    const auto started = std::chrono::steady_clock::now();
    const auto reply = await<SupportDone>([&](auto done) { client.reply(token, "m", done); });
    EXPECT_EQ(reply.error().kind, SupportError::Kind::network);
    EXPECT_LT(std::chrono::steady_clock::now() - started, 15s) << "no hang";
}

}  // namespace
}  // namespace kd
