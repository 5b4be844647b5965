#include "support/support_wire.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "display/sim_preferences.h"
#include "support/support_config.h"
#include "support/support_dates.h"
#include "support/support_error.h"
#include "support/support_records.h"

namespace kd {
namespace {

using namespace std::chrono;

TEST(SupportSizeLabelTest, RoundsToKilobytesThenMegabytes) {
    const std::pair<std::int64_t, std::string> cases[] = {
        {0, "1 KB"},         {500, "1 KB"},  {1023, "1 KB"},        {1024, "1 KB"},
        {1536, "1 KB"},      {4096, "4 KB"}, {1048575, "1023 KB"},  {1048576, "1.0 MB"},
        {2621440, "2.5 MB"}, {-5, "1 KB"},   {10485760, "10.0 MB"},
    };
    for (const auto& [bytes, label] : cases) EXPECT_EQ(sizeLabel(bytes), label) << bytes;
}

TEST(SupportDateTest, ReadsTheThreeFormsAndNothingElse) {
    const auto at = [](int h, int m, int s, int ms) {
        return SupportTime{sys_days{2024y / May / 1} + hours{h} + minutes{m} + seconds{s} +
                           milliseconds{ms}};
    };
    const std::pair<std::string, std::optional<SupportTime>> cases[] = {
        {"2024-05-01T12:30:05.123Z", at(12, 30, 5, 123)},
        {"2024-05-01T12:30:05.5Z", at(12, 30, 5, 500)},
        {"2024-05-01T12:30:05.123456Z", at(12, 30, 5, 123)},
        {"2024-05-01T12:30:05Z", at(12, 30, 5, 0)},
        {"2024-05-01T14:30:05+02:00", at(12, 30, 5, 0)},
        {"2024-05-01T10:00:05.250-02:30", at(12, 30, 5, 250)},
        {"2024-05-01 12:30:05", at(12, 30, 5, 0)},
        {"yesterday", std::nullopt},
        {"", std::nullopt},
        {"2024-05-01", std::nullopt},
        {"2024-05-01T12:30:05", std::nullopt},
        {"2024-05-01T12:30:05.Z", std::nullopt},
        {"2024-02-30T12:30:05Z", std::nullopt},
        {"2024-05-01T24:00:00Z", std::nullopt},
        {"2024-05-01 12:30:05Z", std::nullopt},
        {"2024-05-01 12:30:05 ", std::nullopt},
    };
    for (const auto& [text, date] : cases) EXPECT_EQ(parseSupportDate(text), date) << text;
}

TEST(SupportDateTest, StampsOwnMessagesInTheSecondForm) {
    const sys_seconds time = sys_days{2024y / May / 1} + 12h + 30min + 5s;
    EXPECT_EQ(supportTimestamp(time), "2024-05-01T12:30:05Z");
    EXPECT_EQ(parseSupportDate(supportTimestamp(time)), SupportTime{time});
}

TEST(SupportErrorTest, TellsTheUserWhatHappened) {
    const std::string trouble500 =
        "Support is having trouble (500). Your text is safe \u2014 "
        "try again shortly.";
    const std::pair<SupportError, std::string> cases[] = {
        {SupportError::server(429, "rate_limited"),
         "Too many messages in a row. Try again in a few minutes \u2014 nothing was lost."},
        {SupportError::server(400, "message_too_long"),
         "That's over the 4000-character limit. Trim it a little and send again."},
        {SupportError::server(413, "attachment_too_large"),
         "That file is too big \u2014 6 MB at most."},
        {SupportError::server(400, "too_many_attachments"),
         "Six files at most in one conversation."},
        {SupportError::server(415, "unsupported_type"),
         "Attach an image, a PDF, a text log or a zip."},
        {SupportError::server(400, "bad_request"),
         "The message came out empty \u2014 write something first."},
        {SupportError::server(401, "unauthorized"),
         "This build can't reach support. Please email support@kelvane.example."},
        {SupportError::server(403, "attestation_required"),
         "This build can't reach support. Please email support@kelvane.example."},
        {SupportError::server(403, "bad_attestation"),
         "This build can't reach support. Please email support@kelvane.example."},
        {SupportError::server(500, std::nullopt), trouble500},
        {SupportError::server(500, "Rate_Limited"), trouble500},
        {SupportError::server(503, "overloaded"),
         "Support is having trouble (503). Your text is safe \u2014 try again shortly."},
        {SupportError::network("timed out"),
         "No connection. Your text is safe \u2014 try again when you're back online."},
        {SupportError::notConfigured(), "Support isn't configured in this build"},
        {SupportError::gone(),
         "This conversation is no longer on the server. Start a new one below."},
    };
    for (const auto& [error, text] : cases) EXPECT_EQ(describe(error), text) << text;
}

TEST(SupportFailureTest, MapsEachAnswerToItsError) {
    const std::pair<std::optional<HttpResponse>, std::optional<SupportError>> cases[] = {
        {HttpResponse{200, "{}"}, std::nullopt},
        {HttpResponse{204, ""}, std::nullopt},
        {HttpResponse{404, R"({"error":"rate_limited"})"}, SupportError::gone()},
        {HttpResponse{500, R"({"error":"rate_limited","extra":1})"},
         SupportError::server(500, "rate_limited")},
        {HttpResponse{401, R"({"message":"who are you"})"}, SupportError::server(401, {})},
        {HttpResponse{500, R"({"error":7})"}, SupportError::server(500, {})},
        {HttpResponse{502, "<html>"}, SupportError::server(502, {})},
        {HttpResponse{302, ""}, SupportError::server(302, {})},
        {HttpResponse{0, ""}, SupportError::network("Unexpected reply")},
        {std::nullopt, SupportError::network("The request did not complete")},
    };
    for (const auto& [response, failure] : cases) {
        EXPECT_EQ(supportFailure(response), failure) << (response ? response->status : -1);
    }
}

TEST(SupportPathTest, AppendsComponentsAndEscapesWhatAPathCannotCarry) {
    EXPECT_EQ(appendSupportPath("https://s.example/display/", "v1/support/banner"),
              "https://s.example/display/v1/support/banner");
    EXPECT_EQ(appendSupportPath("https://s.example/display", "v1/support/banner"),
              "https://s.example/display/v1/support/banner");
    EXPECT_EQ(appendSupportPath("https://s.example/d/", "v1/support/ticket/a b?c#d%e/message"),
              "https://s.example/d/v1/support/ticket/a%20b%3Fc%23d%25e/message");
    EXPECT_EQ(appendSupportPath("https://s.example/d/", "t/\xC3\xA9"),
              "https://s.example/d/t/%C3%A9");
}

TEST(SupportBase64Test, EncodesWithPaddingAndNoBreaks) {
    const auto encode = [](const std::string& text) {
        return base64(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
    };
    EXPECT_EQ(encode(""), "");
    EXPECT_EQ(encode("f"), "Zg==");
    EXPECT_EQ(encode("fo"), "Zm8=");
    EXPECT_EQ(encode("foo"), "Zm9v");
    EXPECT_EQ(encode(std::string("\xFF\xFE\xFD\x00", 4)), "//79AA==");
    EXPECT_EQ(encode(std::string(100, 'a')).find('\n'), std::string::npos);
}

class CountingRandom : public SecureRandom {
  public:
    void fill(std::span<std::byte> bytes) override {
        for (auto& b : bytes) b = std::byte(++calls_);
    }
    int calls() const { return calls_; }

  private:
    int calls_ = 0;
};

TEST(SupportConfigTest, BaseAddressFallsBackToTheBuiltInOneAndRejectsNonAddresses) {
    SimPreferences defaults;
    EXPECT_EQ(SupportConfig::baseURL(defaults), "https://support.kelvane.example/display/");
    for (const char* bad :
         {"not a url", "", "support.example/display/", "ftp://s.example/d/", "http:///display/"}) {
        defaults.set(SupportConfig::baseDefaultsKey, bad);
        EXPECT_EQ(SupportConfig::baseURL(defaults), std::nullopt) << bad;
    }
    defaults.set(SupportConfig::baseDefaultsKey, "http://127.0.0.1:8080/x/");
    EXPECT_EQ(SupportConfig::baseURL(defaults), "http://127.0.0.1:8080/x/");
    defaults.remove(SupportConfig::baseDefaultsKey);
    EXPECT_EQ(SupportConfig::baseURL(defaults), "https://support.kelvane.example/display/");
}

TEST(SupportConfigTest, DeviceIdentifierIsMadeOnceAndReplacesAnEmptyOne) {
    SimPreferences defaults;
    CountingRandom random;
    const std::string first = SupportConfig::deviceID(defaults, random);
    EXPECT_EQ(first, "01020304-0506-4708-890A-0B0C0D0E0F10");
    EXPECT_EQ(SupportConfig::deviceID(defaults, random), first);
    EXPECT_EQ(defaults.text(SupportConfig::deviceIDDefaultsKey), first);
    defaults.set(SupportConfig::deviceIDDefaultsKey, "");
    const std::string second = SupportConfig::deviceID(defaults, random);
    EXPECT_NE(second, first);
    EXPECT_EQ(second.size(), 36u);
    EXPECT_EQ(defaults.text(SupportConfig::deviceIDDefaultsKey), second);
}

}  // namespace
}  // namespace kd
