#pragma once

// The one support conversation: what was said, what the user is writing,
// the files waiting to go with it, and the service's banner. It sends
// through `SupportClient`, polls for answers, counts unread answers on the
// application's badge and announces a new one as a notification.
//
// Contract:
// - Main thread only; every published field changes there.
// - Only the conversation's token, the draft and two counters are kept in the
//   user-defaults store, so a conversation survives restarts.
// - A failed send never loses the user's words: the draft comes back (with
//   anything typed meanwhile after it) and staged files stay staged.
// - Requests in flight when the model goes away are answered into nothing.

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "model/published.h"
#include "platform/http_client.h"
#include "platform/preferences.h"
#include "platform/scheduler.h"
#include "platform/secure_random.h"
#include "platform/user_notifications.h"
#include "support/staged_file.h"
#include "support/support_client.h"
#include "support/support_diagnostics.h"
#include "support/support_records.h"

namespace kd {

inline constexpr const char* kSupportDraftKey = "SupportDraft";
inline constexpr const char* kSupportSeenAdminCountKey = "SupportSeenAdminCount";
inline constexpr const char* kSupportNotifiedAdminCountKey = "SupportNotifiedAdminCount";

inline constexpr std::chrono::seconds kSupportPollWhileOpen{20};
inline constexpr std::chrono::seconds kSupportPollWhileClosed{120};

inline constexpr const char* kConversationClearedText =
    "That conversation has been closed and cleared. Write below to start a new one.";
inline constexpr const char* kConversationGoneText =
    "That conversation is gone from the server. Send again to start a new one.";
inline constexpr const char* kSupportNotificationTitle = "Kelvane Display Support";
inline constexpr const char* kSupportNotificationThread = "support";

class SupportModel {
  public:
    struct Ports {
        Preferences& defaults;
        Scheduler& scheduler;
        HttpClient& http;
        SecureRandom& random;
        UserNotifications& notifications;
    };
    struct Settings {
        std::optional<std::string> appVersion;  // the short one, "1.4"
        std::string localeIdentifier;           // "en_US"
        // What a send with diagnostics attaches, gathered at that moment.
        std::function<SupportDiagnostics()> gatherDiagnostics;
        std::chrono::milliseconds requestTimeout = SupportConfig::requestTimeout;
    };

    SupportModel(Ports ports, Settings settings);
    ~SupportModel();
    SupportModel(const SupportModel&) = delete;
    SupportModel& operator=(const SupportModel&) = delete;

    Published<std::vector<SupportMessage>> messages;
    // The user's messages sent but not yet seen in a fetched conversation.
    Published<std::vector<SupportMessage>> pending;
    // Every change is stored at once.
    Published<std::string> draft;
    Published<bool> attachDiagnostics{false};
    Published<std::vector<StagedFile>> staged;
    // Files that could not be staged or sent, one per line.
    Published<std::string> uploadNote;
    std::optional<std::string> lastUploadError;
    Published<bool> busy{false};
    Published<std::optional<std::string>> error;
    Published<std::string> status;  // "closed" for a closed conversation
    Published<std::optional<SupportBanner>> banner;
    // Answers from support the user has not seen.
    Published<int> unread{0};

    std::optional<std::string> token() const;
    bool hasThread() const;
    bool isAwaitingReply() const;
    bool windowIsOpen() const { return windowIsOpen_; }
    // The polling interval in force, if any.
    std::optional<std::chrono::seconds> pollInterval() const { return pollInterval_; }
    // `messages`, then those pending whose text no fetched message has.
    std::vector<SupportMessage> visibleMessages() const;

    void open();
    void close();
    // At application start: picks an open conversation up again.
    void resumeIfNeeded();
    // `done` runs on the main queue once the banner and conversation are in
    // (or failed).
    void refresh(std::function<void()> done = {});
    void refreshBanner(std::function<void()> done = {});
    void send();
    void stage(const std::vector<std::string>& paths);
    void unstage(const std::string& id);
    std::optional<std::string> attachmentURL(std::int64_t attachmentID) const;
    void startNewThread();
    void requestNotificationPermission();

  private:
    struct Sending;

    void setToken(const std::optional<std::string>& token);
    void schedule(std::chrono::seconds interval);
    void stopPolling();
    void applyThread(const SupportThread& thread);
    void forgetConversation();
    void clearUnread();
    void announce(const SupportMessage& message);
    void showBadge();
    std::string subjectFor(const std::string& text) const;
    void sent(const std::shared_ptr<Sending>& sending);
    void uploadNext(const std::shared_ptr<Sending>& sending);
    void finishSend(const std::shared_ptr<Sending>& sending);
    void sendFailed(const std::shared_ptr<Sending>& sending, const SupportError& failure);
    // Runs `task` only if this model still lives when the answer comes.
    template <class T>
    SupportClient::Done<T> whileAlive(
        std::function<void(SupportModel&, const SupportResult<T>&)> task);

    Ports ports_;
    Settings settings_;
    SupportClient client_;
    bool windowIsOpen_ = false;
    std::optional<std::chrono::seconds> pollInterval_;
    TimerHandle timer_;
    Published<std::string>::Subscription draftStore_;
    std::shared_ptr<SupportModel*> self_ = std::make_shared<SupportModel*>(this);
};

}  // namespace kd
