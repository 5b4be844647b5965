#include "support/support_model.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "display/sim_preferences.h"
#include "platform/linux/curl_http_client.h"
#include "platform/linux/getrandom_source.h"
#include "platform/sim/sim_user_notifications.h"
#include "platform/sim/virtual_scheduler.h"
#include "support/files.h"
#include "support/local_support_service.h"

namespace kd {
namespace {

using namespace std::chrono_literals;
using test::LocalSupportService;
using SupportFault = LocalSupportService::Fault;

// Lets a test act at the moment a request leaves, as another part of the
// program could while the request is on its way.
class InterceptedHttpClient final : public HttpClient {
  public:
    std::optional<HttpResponse> perform(const HttpRequest& request) override {
        if (beforeSending) beforeSending(request);
        return http.perform(request);
    }
    std::function<void(const HttpRequest&)> beforeSending;
    CurlHttpClient http;
};

SupportDiagnostics fixedDiagnostics() {
    return {"1.4", "macOS 14.5.0", "MacBook Pro 14\u2033 \u00B7 M3 Pro", 2, {"iPad"}, "off"};
}

class SupportModelTest : public ::testing::Test {
  protected:
    SupportModelTest() {
        defaults.set(SupportConfig::baseDefaultsKey, service.baseURL());
        model = makeModel(5s);
    }

    std::unique_ptr<SupportModel> makeModel(std::chrono::milliseconds timeout) {
        return std::make_unique<SupportModel>(
            SupportModel::Ports{defaults, scheduler, http, random, notifications},
            SupportModel::Settings{"1.4", "en_US", fixedDiagnostics, timeout});
    }

    void write(const std::string& name, std::size_t bytes) {
        std::ofstream(scratch.path() / name, std::ios::binary) << std::string(bytes, 'k');
    }
    std::string pathOf(const std::string& name) const { return (scratch.path() / name).string(); }

    // Sends `text` and lets every request of the send finish.
    void sendNow(const std::string& text) {
        model->draft.set(text);
        model->send();
        scheduler.runUntilIdle();
    }

    std::vector<std::string> stagedNames() const {
        std::vector<std::string> names;
        for (const auto& file : model->staged.get()) names.push_back(file.name());
        return names;
    }

    LocalSupportService service;
    SimPreferences defaults;
    InterceptedHttpClient http;
    VirtualScheduler scheduler;
    GetrandomSource random;
    SimUserNotifications notifications;
    testing::ScratchDir scratch;
    std::unique_ptr<SupportModel> model;
};

TEST_F(SupportModelTest, FirstSendOpensAConversationAndTheNextRepliesToIt) {
    model->draft.set("  Screen flickers\n");
    model->send();
    EXPECT_TRUE(model->busy.get());
    EXPECT_EQ(model->draft.get(), "");
    EXPECT_EQ(defaults.text(kSupportDraftKey), "") << "the cleared composer is stored at once";
    ASSERT_EQ(model->pending.get().size(), 1u);
    EXPECT_EQ(model->pending.get()[0].body, "Screen flickers");
    EXPECT_TRUE(model->pending.get()[0].mine());
    scheduler.runUntilIdle();

    EXPECT_FALSE(model->busy.get());
    EXPECT_EQ(model->token(), "tk-1");
    EXPECT_EQ(service.ticket("tk-1")->subject, "Display 1.4 \u00B7 Screen flickers \u00B7 en");
    EXPECT_EQ(notifications.authorizationRequests(), 1);
    EXPECT_TRUE(model->pending.get().empty()) << "the fetched conversation holds the message";
    EXPECT_EQ(model->visibleMessages().size(), 1u);
    EXPECT_EQ(model->pollInterval(), kSupportPollWhileClosed)
        << "sent with the window closed, the answer is still looked for";

    sendNow("It also goes black");
    EXPECT_EQ(service.ticket("tk-1")->messages.size(), 2u);
    EXPECT_EQ(notifications.authorizationRequests(), 1) << "asked once, with the first send";
    EXPECT_EQ(model->visibleMessages().size(), 2u);
}

TEST_F(SupportModelTest, BlankDraftSendsOnlyWhenFilesAreStaged) {
    sendNow(" \n\t ");
    EXPECT_TRUE(service.received().empty());
    EXPECT_EQ(model->draft.get(), " \n\t ") << "nothing sent, nothing cleared";

    write("shot.png", 10);
    model->stage({pathOf("shot.png")});
    sendNow(" \n");
    const auto ticket = service.ticket("tk-1");
    ASSERT_TRUE(ticket);
    EXPECT_EQ(ticket->messages[0]["body"], "(files attached)");
    EXPECT_EQ(ticket->subject, "Display 1.4 \u00B7 files attached \u00B7 en");
    EXPECT_TRUE(model->staged.get().empty());
    EXPECT_EQ(ticket->messages.back()["attachments"][0]["filename"], "shot.png");
}

TEST_F(SupportModelTest, DiagnosticsTravelInTheBodyAndWithANewTicket) {
    model->attachDiagnostics.set(true);
    model->draft.set("Help");
    model->send();
    const std::string expected = "Help\n\n--- setup ---\n" + fixedDiagnostics().text();
    EXPECT_EQ(model->pending.get().at(0).body, expected);
    scheduler.runUntilIdle();
    const auto ticket = service.ticket("tk-1");
    ASSERT_TRUE(ticket);
    EXPECT_EQ(ticket->created["message"], expected);
    EXPECT_EQ(
        ticket->created["diagnostics"],
        (nlohmann::json{{"app_version", "Display 1.4"}, {"os", "macOS 14.5.0"}, {"screens", 2}}));
}

TEST_F(SupportModelTest, AFailedUploadStaysStagedAndIsNamedAlone) {
    write("one.png", 10);
    write("two.png", 20);
    write("three.txt", 30);
    model->stage({pathOf("one.png"), pathOf("two.png"), pathOf("three.txt")});
    service.refuseAttachmentsNamed("two.png");
    sendNow("Logs attached");

    EXPECT_EQ(stagedNames(), std::vector<std::string>{"two.png"});
    EXPECT_EQ(model->uploadNote.get(),
              "Couldn't send two.png: Support is having trouble (500). Your text is safe \u2014 "
              "try again shortly. \u2014 still attached, try again.");
    std::vector<std::string> uploaded;
    const auto ticket = service.ticket("tk-1");
    ASSERT_TRUE(ticket);
    for (const auto& message : ticket->messages) {
        for (const auto& file : message["attachments"]) uploaded.push_back(file["filename"]);
    }
    EXPECT_EQ(uploaded, (std::vector<std::string>{"one.png", "three.txt"}));
}

TEST_F(SupportModelTest, NoFaultOfTheServiceLosesTheUsersWords) {
    model = makeModel(2s);
    write("shot.png", 10);
    for (const bool replying : {false, true}) {
        for (const auto fault :
             {SupportFault::notFound, SupportFault::rateLimited, SupportFault::nonJsonError,
              SupportFault::emptyObject, SupportFault::noReply, SupportFault::connectionReset,
              SupportFault::hugeBody}) {
            SCOPED_TRACE(::testing::Message() << "fault " << static_cast<int>(fault)
                                              << (replying ? " replying" : " opening"));
            service.setFault(SupportFault::none);
            model->startNewThread();
            if (replying) sendNow("Hello");
            model->stage({pathOf("shot.png")});
            const std::string words = "  First line\nsecond line  ";
            model->draft.set(words);

            service.setFault(fault);
            model->send();
            scheduler.runUntilIdle();

            EXPECT_EQ(model->draft.get(), words) << "exactly as it was";
            EXPECT_EQ(defaults.text(kSupportDraftKey), words);
            EXPECT_EQ(stagedNames(), std::vector<std::string>{"shot.png"});
            EXPECT_TRUE(model->error.get().has_value());
            EXPECT_FALSE(model->busy.get());
            for (const auto& waiting : model->visibleMessages()) {
                EXPECT_NE(waiting.body, "First line\nsecond line") << "no bubble of a failed send";
            }
        }
    }
}

TEST_F(SupportModelTest, AConversationGoneWhileReplyingIsForgottenAndTheNextSendStartsAnew) {
    sendNow("Hello");
    service.removeTicket("tk-1");
    sendNow("Are you there?");

    EXPECT_EQ(model->draft.get(), "Are you there?");
    EXPECT_EQ(model->token(), std::nullopt);
    EXPECT_TRUE(model->messages.get().empty());
    EXPECT_EQ(model->error.get(), kConversationGoneText);
    EXPECT_EQ(model->visibleMessages().size(), 0u);

    sendNow("Are you there?");
    EXPECT_EQ(model->token(), "tk-2") << "a new ticket";
    EXPECT_EQ(model->error.get(), std::nullopt);
    EXPECT_EQ(notifications.authorizationRequests(), 2)
        << "the token key was gone altogether, so permission is asked again";
}

TEST_F(SupportModelTest, WordsAndFilesAddedDuringAFailedSendAreKeptAfterTheSavedDraft) {
    write("before.png", 10);
    write("during.png", 10);
    model->stage({pathOf("before.png")});
    model->draft.set("Saved words");
    service.setFault(SupportFault::rateLimited);
    model->send();
    model->draft.set("typed meanwhile");
    model->stage({pathOf("during.png")});
    scheduler.runUntilIdle();

    EXPECT_EQ(model->draft.get(), "Saved words\ntyped meanwhile");
    EXPECT_EQ(stagedNames(), (std::vector<std::string>{"before.png", "during.png"}));
    EXPECT_EQ(model->error.get(),
              "Too many messages in a row. Try again in a few minutes \u2014 nothing was lost.");
}

TEST_F(SupportModelTest, FilesStagedDuringUploadsStayBesideTheFailedOnes) {
    write("fails.png", 10);
    write("later.png", 10);
    model->stage({pathOf("fails.png")});
    service.refuseAttachmentsNamed("fails.png");
    bool stagedDuringUpload = false;
    http.beforeSending = [&](const HttpRequest& request) {
        if (request.url.ends_with("/attachment") && !stagedDuringUpload) {
            stagedDuringUpload = true;
            model->stage({pathOf("later.png")});
        }
    };
    sendNow("With a file");
    EXPECT_EQ(stagedNames(), (std::vector<std::string>{"fails.png", "later.png"}));
}

TEST_F(SupportModelTest, AnswersWithTheWindowClosedAreCountedBadgedAndAnnouncedOnce) {
    sendNow("Hello");
    const std::string longAnswer(300, 'a');
    service.addSupportMessage("tk-1", "We're looking");
    service.addSupportMessage("tk-1", longAnswer);
    scheduler.advance(kSupportPollWhileClosed);

    EXPECT_EQ(model->unread.get(), 2);
    EXPECT_EQ(notifications.badge(), "2");
    ASSERT_EQ(notifications.delivered().size(), 1u);
    const auto& told = notifications.delivered()[0];
    EXPECT_EQ(told.title, "Kelvane Display Support");
    EXPECT_EQ(told.body, std::string(240, 'a')) << "only the last, cut to 240 characters";
    EXPECT_EQ(told.threadIdentifier, "support");
    EXPECT_TRUE(told.defaultSound);

    scheduler.advance(kSupportPollWhileClosed);
    EXPECT_EQ(notifications.delivered().size(), 1u) << "nothing new, nothing announced";
    EXPECT_EQ(model->unread.get(), 2);

    model->open();
    EXPECT_EQ(notifications.badge(), std::nullopt);
    EXPECT_EQ(model->unread.get(), 0);
    scheduler.runUntilIdle();
    EXPECT_EQ(defaults.integer(kSupportSeenAdminCountKey), 2);
    model->close();
    scheduler.advance(kSupportPollWhileClosed);
    EXPECT_EQ(model->unread.get(), 0) << "seen in the window, not counted again";
}

TEST_F(SupportModelTest, PollingFollowsTheWindowAndTheConversation) {
    model->open();
    EXPECT_EQ(model->pollInterval(), kSupportPollWhileOpen);
    model->close();
    EXPECT_EQ(model->pollInterval(), std::nullopt) << "no conversation to wait for";

    model->open();
    sendNow("Hello");
    EXPECT_EQ(model->pollInterval(), kSupportPollWhileOpen);
    model->close();
    EXPECT_EQ(model->pollInterval(), kSupportPollWhileClosed);

    service.closeTicket("tk-1");
    scheduler.advance(kSupportPollWhileClosed);
    EXPECT_EQ(model->status.get(), "closed");
    model->open();
    model->close();
    EXPECT_EQ(model->pollInterval(), std::nullopt) << "a closed conversation is not polled";
}

TEST_F(SupportModelTest, ResumingAtLaunchPicksUpAnOpenConversation) {
    sendNow("Hello");
    model.reset();
    model = makeModel(5s);
    EXPECT_TRUE(model->messages.get().empty());
    model->resumeIfNeeded();
    scheduler.runUntilIdle();
    EXPECT_EQ(model->messages.get().size(), 1u);
    EXPECT_EQ(model->pollInterval(), kSupportPollWhileClosed);
}

TEST_F(SupportModelTest, AConversationClearedWithTheWindowOpenIsPolledAgainOnceANewOneStarts) {
    model->open();
    sendNow("Hello");
    service.removeTicket("tk-1");
    scheduler.advance(kSupportPollWhileOpen);
    EXPECT_EQ(model->error.get(), kConversationClearedText);
    EXPECT_EQ(model->token(), std::nullopt);
    EXPECT_EQ(model->pollInterval(), std::nullopt);

    sendNow("Starting over");
    EXPECT_EQ(model->token(), "tk-2");
    EXPECT_EQ(model->pollInterval(), kSupportPollWhileOpen);
    service.addSupportMessage("tk-2", "Welcome back");
    scheduler.advance(kSupportPollWhileOpen);
    EXPECT_EQ(model->messages.get().back().body, "Welcome back");
}

TEST_F(SupportModelTest, AFetchOfAnOldConversationLeavesTheNewOneAlone) {
    sendNow("Hello");
    // While the fetch of tk-1 is on its way, the user starts over and the
    // service clears the old conversation.
    http.beforeSending = [&](const HttpRequest& request) {
        if (request.method == "GET" && request.url.ends_with("/tk-1")) {
            http.beforeSending = nullptr;
            service.removeTicket("tk-1");
            defaults.set(SupportConfig::tokenDefaultsKey, std::string("tk-new"));
        }
    };
    model->refresh();
    scheduler.runUntilIdle();
    EXPECT_EQ(model->token(), "tk-new");
    EXPECT_EQ(model->error.get(), std::nullopt);
}

TEST_F(SupportModelTest, StagingChecksKindSizeAndCount) {
    write("big.log", kMaxStagedFileBytes + 1);
    write("limit.log", kMaxStagedFileBytes);
    write("empty.txt", 0);
    write("tool.exe", 10);
    write("CAPS.PNG", 10);
    model->stage({pathOf("big.log"), pathOf("limit.log"), pathOf("empty.txt"), pathOf("tool.exe"),
                  pathOf("CAPS.PNG"), pathOf("missing.pdf")});
    EXPECT_EQ(stagedNames(), (std::vector<std::string>{"limit.log", "CAPS.PNG"}));
    EXPECT_EQ(model->staged.get()[1].mime, "image/png");
    EXPECT_EQ(model->uploadNote.get(),
              "big.log is over 8 MB.\nempty.txt is empty.\n"
              "tool.exe isn't a type support accepts \u2014 images, PDF, .txt/.log or .zip.\n"
              "missing.pdf is empty.");

    model->unstage(model->staged.get()[0].id);
    EXPECT_EQ(stagedNames(), std::vector<std::string>{"CAPS.PNG"});

    std::vector<std::string> seven;
    for (int i = 0; i < 7; ++i) {
        write("f" + std::to_string(i) + ".jpg", 5);
        seven.push_back(pathOf("f" + std::to_string(i) + ".jpg"));
    }
    model->stage(seven);
    EXPECT_EQ(model->staged.get().size(), 6u);
    EXPECT_EQ(model->uploadNote.get(), "Six files at most.");
}

TEST_F(SupportModelTest, StartingANewConversationForgetsTheOldOne) {
    sendNow("Hello");
    service.addSupportMessage("tk-1", "Answer");
    scheduler.advance(kSupportPollWhileClosed);
    ASSERT_EQ(model->unread.get(), 1);
    write("a.zip", 3);
    model->stage({pathOf("a.zip")});

    model->startNewThread();
    EXPECT_FALSE(model->hasThread());
    EXPECT_TRUE(model->messages.get().empty());
    EXPECT_TRUE(model->staged.get().empty());
    EXPECT_EQ(model->unread.get(), 0);
    EXPECT_EQ(notifications.badge(), std::nullopt);
    EXPECT_EQ(defaults.integer(kSupportNotifiedAdminCountKey), 0);
    EXPECT_EQ(model->attachmentURL(7), std::nullopt);
}

TEST_F(SupportModelTest, TheDraftSurvivesARestart) {
    model->draft.set("Half a thought");
    model.reset();
    model = makeModel(5s);
    EXPECT_EQ(model->draft.get(), "Half a thought");
}

}  // namespace
}  // namespace kd
