#include "support/support_records.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace kd {
namespace {

using nlohmann::json;

json fullMessage() {
    return json::parse(R"({"id": 7, "sender": "agent", "body": "Hello",
        "created_at": "2024-05-01T12:30:05Z", "mood": "cheerful",
        "attachments": [{"id": 1, "filename": "log.txt", "mime": "text/plain", "bytes": 2048}]})");
}

json threadWith(json messages) {
    return {{"public_token", "tk-1"},
            {"subject", "Help"},
            {"status", "open"},
            {"messages", std::move(messages)}};
}

TEST(SupportRecordsTest, DecodesAFullMessageIgnoringUnknownKeys) {
    const auto message = decodeSupportMessage(fullMessage());
    ASSERT_TRUE(message);
    EXPECT_EQ(message->serverID, 7);
    EXPECT_FALSE(message->mine());
    EXPECT_EQ(message->id(), "7");
    ASSERT_EQ(message->attachments.size(), 1u);
    EXPECT_EQ(message->attachments[0], (SupportAttachment{1, "log.txt", "text/plain", 2048}));
    EXPECT_FALSE(message->attachments[0].isImage());
    EXPECT_EQ(message->attachments[0].sizeLabel(), "2 KB");
    EXPECT_TRUE(message->date());
}

TEST(SupportRecordsTest, MessageDoesWithoutWhatAReaderCanMiss) {
    json message = fullMessage();
    message.erase("body");
    message["id"] = "seven";
    message["attachments"].push_back({{"id", 2}, {"filename", "x.png"}, {"mime", "image/png"}});
    const auto decoded = decodeSupportMessage(message);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->body, "");
    EXPECT_EQ(decoded->serverID, std::nullopt);
    EXPECT_TRUE(decoded->attachments.empty()) << "one bad element empties the list";

    message["body"] = 12;
    message["attachments"] = "none";
    ASSERT_TRUE(decodeSupportMessage(message));
    EXPECT_EQ(decodeSupportMessage(message)->body, "");
}

TEST(SupportRecordsTest, MessageWithoutSenderOrStampFails) {
    for (const char* key : {"sender", "created_at"}) {
        json message = fullMessage();
        message.erase(key);
        EXPECT_FALSE(decodeSupportMessage(message)) << key;
        message[key] = 3;
        EXPECT_FALSE(decodeSupportMessage(message)) << key;
    }
    EXPECT_FALSE(decodeSupportMessage(json::array()));
}

TEST(SupportRecordsTest, LocalMessageIdentityComesFromStampSenderAndBody) {
    const SupportMessage a{std::nullopt, "user", "Hi", "2024-05-01T12:30:05Z", {}};
    SupportMessage b = a;
    EXPECT_EQ(a.id(), b.id());
    EXPECT_TRUE(a.id().starts_with("2024-05-01T12:30:05Z-user-"));
    b.body = "Hi!";
    EXPECT_NE(a.id(), b.id());
    EXPECT_TRUE(a.mine());
    EXPECT_FALSE((SupportMessage{std::nullopt, "user", "", "yesterday", {}}.date()));
}

TEST(SupportRecordsTest, OneBadMessageFailsTheThread) {
    json bad = fullMessage();
    bad.erase("created_at");
    EXPECT_TRUE(decodeSupportThread(threadWith({fullMessage(), fullMessage()})));
    EXPECT_FALSE(decodeSupportThread(threadWith({fullMessage(), bad})));
}

TEST(SupportRecordsTest, ThreadNeedsTokenStatusAndMessages) {
    const auto decoded = decodeSupportThread(threadWith(json::array()));
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->subject, "Help");
    for (const char* key : {"public_token", "status", "messages"}) {
        json thread = threadWith(json::array());
        thread.erase(key);
        EXPECT_FALSE(decodeSupportThread(thread)) << key;
    }
    json thread = threadWith(json::array());
    thread["subject"] = nullptr;
    EXPECT_EQ(decodeSupportThread(thread)->subject, std::nullopt);
    thread.erase("subject");
    EXPECT_EQ(decodeSupportThread(thread)->subject, std::nullopt);
    thread["subject"] = 5;
    EXPECT_FALSE(decodeSupportThread(thread));
}

TEST(SupportRecordsTest, BannerNeedsOnlyActive) {
    EXPECT_EQ(decodeSupportBanner(json{{"active", false}}), SupportBanner{});
    EXPECT_EQ(decodeSupportBanner(json::parse(
                  R"({"active":true,"message":"Away","severity":"warn","away_until":"Mon"})")),
              (SupportBanner{true, "Away", "warn", "Mon"}));
    EXPECT_FALSE(decodeSupportBanner(json{{"message", "Away"}}));
    EXPECT_FALSE(decodeSupportBanner(json{{"active", 1}}));
}

}  // namespace
}  // namespace kd
