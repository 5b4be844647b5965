#include "support/support_model.h"

#include <algorithm>
#include <filesystem>
#include <utility>

#include "model/host_info.h"
#include "model/text.h"
#include "platform/random_uuid.h"
#include "support/support_config.h"
#include "support/support_dates.h"

namespace kd {

namespace {

constexpr const char* kSetupMarker = "\n\n--- setup ---\n";
constexpr std::size_t kSubjectCharacters = 80;
constexpr std::size_t kAnnouncedCharacters = 240;

bool fromSupport(const SupportMessage& message) {
    return !message.mine();
}

std::int64_t storedCount(const PreferenceReader& defaults, const char* key) {
    return defaults.integer(key).value_or(0);
}

void removeBody(Published<std::vector<SupportMessage>>& list, const std::string& body) {
    auto kept = list.get();
    std::erase_if(kept, [&](const SupportMessage& m) { return m.body == body; });
    list.set(std::move(kept));
}

// The saved draft first, then whatever the user typed while the send ran.
std::string restoredDraft(const std::string& saved, const std::string& typedMeanwhile) {
    if (typedMeanwhile.empty()) return saved;
    if (saved.empty()) return typedMeanwhile;
    return saved + "\n" + typedMeanwhile;
}

}  // namespace

// One send from the moment it left the composer until it is settled.
struct SupportModel::Sending {
    std::string body;
    std::string savedDraft;
    std::string token;
    std::vector<StagedFile> uploads;
    std::size_t nextUpload = 0;
    std::vector<StagedFile> failed;
};

template <class T>
SupportClient::Done<T> SupportModel::whileAlive(
    std::function<void(SupportModel&, const SupportResult<T>&)> task) {
    return [weak = std::weak_ptr<SupportModel*>(self_),
            task = std::move(task)](SupportResult<T> result) {
        if (const auto self = weak.lock()) task(**self, result);
    };
}

SupportModel::SupportModel(Ports ports, Settings settings)
    : draft(ports.defaults.text(kSupportDraftKey).value_or("")),
      ports_(ports),
      settings_(std::move(settings)),
      client_({ports.defaults, ports.http, ports.scheduler, ports.random},
              settings_.localeIdentifier, settings_.requestTimeout) {
    draftStore_ = draft.subscribe([&defaults = ports_.defaults](const std::string& text) {
        defaults.set(kSupportDraftKey, text);
    });
}

SupportModel::~SupportModel() {
    timer_.cancel();
}

std::optional<std::string> SupportModel::token() const {
    return ports_.defaults.text(SupportConfig::tokenDefaultsKey);
}

void SupportModel::setToken(const std::optional<std::string>& token) {
    if (token) {
        ports_.defaults.set(SupportConfig::tokenDefaultsKey, *token);
    } else {
        ports_.defaults.remove(SupportConfig::tokenDefaultsKey);
    }
}

bool SupportModel::hasThread() const {
    const auto stored = token();
    return stored && !stored->empty();
}

bool SupportModel::isAwaitingReply() const {
    return hasThread() && status.get() != "closed";
}

std::vector<SupportMessage> SupportModel::visibleMessages() const {
    auto visible = messages.get();
    for (const auto& waiting : pending.get()) {
        const bool fetched =
            std::any_of(messages.get().begin(), messages.get().end(),
                        [&](const SupportMessage& m) { return m.body == waiting.body; });
        if (!fetched) visible.push_back(waiting);
    }
    return visible;
}

void SupportModel::schedule(std::chrono::seconds interval) {
    timer_.cancel();
    pollInterval_ = interval;
    timer_ = ports_.scheduler.after(interval, Queue::main(),
                                    [weak = std::weak_ptr<SupportModel*>(self_), interval] {
                                        const auto self = weak.lock();
                                        if (!self) return;
                                        (*self)->schedule(interval);
                                        (*self)->refresh();
                                    });
}

void SupportModel::stopPolling() {
    timer_.cancel();
    timer_ = {};
    pollInterval_.reset();
}

void SupportModel::open() {
    windowIsOpen_ = true;
    unread.set(0);
    ports_.notifications.setBadge(std::nullopt);
    refresh();
    refreshBanner();
    schedule(kSupportPollWhileOpen);
}

void SupportModel::close() {
    windowIsOpen_ = false;
    if (isAwaitingReply()) {
        schedule(kSupportPollWhileClosed);
    } else {
        stopPolling();
    }
}

void SupportModel::resumeIfNeeded() {
    if (!isAwaitingReply()) return;
    refresh();
    schedule(kSupportPollWhileClosed);
}

void SupportModel::refreshBanner(std::function<void()> done) {
    client_.banner(whileAlive<SupportBanner>(
        [done = std::move(done)](SupportModel& model, const SupportResult<SupportBanner>& result) {
            if (result.ok()) {
                model.banner.set(result.value().active ? std::optional(result.value())
                                                       : std::nullopt);
            }
            if (done) done();
        }));
}

void SupportModel::refresh(std::function<void()> done) {
    refreshBanner([this, done = std::move(done)] {
        const auto used = token();
        if (!used || used->empty()) {
            if (done) done();
            return;
        }
        client_.thread(
            *used,
            whileAlive<SupportThread>(
                [used, done](SupportModel& model, const SupportResult<SupportThread>& result) {
                    // Fetches overlap: one that left before the conversation changed
                    // speaks of the old one and must not touch the new one.
                    if (model.token() == used) {
                        if (result.ok()) {
                            model.applyThread(result.value());
                        } else if (result.error().kind == SupportError::Kind::gone) {
                            model.forgetConversation();
                            model.stopPolling();
                            model.error.set(kConversationClearedText);
                        }
                    }
                    if (done) done();
                }));
    });
}

void SupportModel::applyThread(const SupportThread& thread) {
    const auto supportCount = static_cast<std::int64_t>(
        std::count_if(thread.messages.begin(), thread.messages.end(), fromSupport));
    const auto seenBefore = storedCount(ports_.defaults, kSupportSeenAdminCountKey);

    messages.set(thread.messages);
    auto waiting = pending.get();
    std::erase_if(waiting, [&](const SupportMessage& p) {
        return std::any_of(thread.messages.begin(), thread.messages.end(),
                           [&](const SupportMessage& m) { return m.body == p.body; });
    });
    pending.set(std::move(waiting));
    status.set(thread.status);
    error.set(std::nullopt);

    if (windowIsOpen_) {
        ports_.defaults.set(kSupportSeenAdminCountKey, supportCount);
        ports_.defaults.set(kSupportNotifiedAdminCountKey, supportCount);
        unread.set(0);
        ports_.notifications.setBadge(std::nullopt);
        return;
    }
    if (seenBefore >= supportCount) return;
    unread.set(static_cast<int>(std::max<std::int64_t>(
        0, supportCount - storedCount(ports_.defaults, kSupportSeenAdminCountKey))));
    showBadge();
    if (storedCount(ports_.defaults, kSupportNotifiedAdminCountKey) >= supportCount) return;
    const auto last = std::find_if(thread.messages.rbegin(), thread.messages.rend(), fromSupport);
    announce(*last);
    ports_.defaults.set(kSupportNotifiedAdminCountKey, supportCount);
}

void SupportModel::showBadge() {
    ports_.notifications.setBadge(unread.get() >= 1 ? std::optional(std::to_string(unread.get()))
                                                    : std::nullopt);
}

void SupportModel::announce(const SupportMessage& message) {
    ports_.notifications.deliver({.identifier = randomUUID(ports_.random),
                                  .title = kSupportNotificationTitle,
                                  .body = firstCharacters(message.body, kAnnouncedCharacters),
                                  .threadIdentifier = kSupportNotificationThread,
                                  .defaultSound = true});
}

void SupportModel::clearUnread() {
    unread.set(0);
    ports_.defaults.set(kSupportSeenAdminCountKey, std::int64_t{0});
    ports_.defaults.set(kSupportNotifiedAdminCountKey, std::int64_t{0});
    ports_.notifications.setBadge(std::nullopt);
}

void SupportModel::forgetConversation() {
    setToken(std::nullopt);
    messages.set({});
    status.set("");
    clearUnread();
}

std::string SupportModel::subjectFor(const std::string& text) const {
    const auto& locale = settings_.localeIdentifier;
    return "Display " + settings_.appVersion.value_or("1.0") + kPartSeparator +
           (text.empty() ? std::string("files attached")
                         : firstCharacters(text, kSubjectCharacters)) +
           kPartSeparator + firstCharacters(locale, 2);
}

void SupportModel::send() {
    const auto text = trimmed(draft.get());
    if (text.empty() && staged.get().empty()) return;
    if (busy.get()) return;

    busy.set(true);
    error.set(std::nullopt);
    const auto createdAt = supportTimestamp(
        std::chrono::time_point_cast<std::chrono::seconds>(std::chrono::system_clock::now()));
    auto sending = std::make_shared<Sending>();
    sending->savedDraft = draft.get();

    std::optional<SupportDiagnostics> diagnostics;
    if (attachDiagnostics.get() && settings_.gatherDiagnostics) {
        diagnostics = settings_.gatherDiagnostics();
    }
    sending->body = text.empty() ? std::string("(files attached)") : text;
    if (diagnostics) sending->body += kSetupMarker + diagnostics->text();

    auto waiting = pending.get();
    waiting.push_back({std::nullopt, "user", sending->body, createdAt, {}});
    pending.set(std::move(waiting));
    draft.set("");

    if (!ports_.defaults.value(SupportConfig::tokenDefaultsKey)) requestNotificationPermission();

    if (hasThread()) {
        sending->token = *token();
        client_.reply(sending->token, sending->body,
                      whileAlive<SupportDone>(
                          [sending](SupportModel& model, const SupportResult<SupportDone>& result) {
                              if (result.ok()) {
                                  model.sent(sending);
                              } else {
                                  model.sendFailed(sending, result.error());
                              }
                          }));
        return;
    }
    std::optional<SupportTicketDiagnostics> payload;
    if (diagnostics) payload = diagnostics->payload();
    client_.create(subjectFor(text), sending->body, payload,
                   whileAlive<std::string>(
                       [sending](SupportModel& model, const SupportResult<std::string>& result) {
                           if (!result.ok()) {
                               model.sendFailed(sending, result.error());
                               return;
                           }
                           sending->token = result.value();
                           model.setToken(sending->token);
                           model.sent(sending);
                       }));
}

void SupportModel::sent(const std::shared_ptr<Sending>& sending) {
    if (staged.get().empty() || !hasThread()) {
        finishSend(sending);
        return;
    }
    sending->uploads = staged.get();
    staged.set({});
    lastUploadError.reset();
    uploadNext(sending);
}

void SupportModel::uploadNext(const std::shared_ptr<Sending>& sending) {
    if (sending->nextUpload == sending->uploads.size()) {
        if (!sending->failed.empty()) {
            std::string names;
            for (const auto& file : sending->failed) {
                if (!names.empty()) names += ", ";
                names += file.name();
            }
            // Files staged while the uploads ran stay staged after the failed ones.
            auto kept = sending->failed;
            const auto& meanwhile = staged.get();
            kept.insert(kept.end(), meanwhile.begin(), meanwhile.end());
            staged.set(std::move(kept));
            uploadNote.set("Couldn't send " + names +
                           (lastUploadError ? ": " + *lastUploadError : std::string()) +
                           " \u2014 still attached, try again.");
        }
        finishSend(sending);
        return;
    }
    const auto& file = sending->uploads[sending->nextUpload];
    client_.upload({file.path, file.mime, file.bytes()}, sending->token,
                   whileAlive<SupportDone>(
                       [sending](SupportModel& model, const SupportResult<SupportDone>& result) {
                           if (!result.ok()) {
                               sending->failed.push_back(sending->uploads[sending->nextUpload]);
                               model.lastUploadError = describe(result.error());
                           }
                           ++sending->nextUpload;
                           model.uploadNext(sending);
                       }));
}

void SupportModel::finishSend(const std::shared_ptr<Sending>& /*sending*/) {
    refresh([weak = std::weak_ptr<SupportModel*>(self_)] {
        const auto self = weak.lock();
        if (!self) return;
        auto& model = **self;
        if (!model.windowIsOpen_) {
            model.close();
        } else if (!model.pollInterval_ && model.hasThread()) {
            // A conversation cleared with the window open stopped the
            // polling; the new one needs it back, or answers never show.
            model.schedule(kSupportPollWhileOpen);
        }
        model.busy.set(false);
    });
}

void SupportModel::sendFailed(const std::shared_ptr<Sending>& sending,
                              const SupportError& failure) {
    removeBody(pending, sending->body);
    draft.set(restoredDraft(sending->savedDraft, draft.get()));
    if (failure.kind == SupportError::Kind::gone) {
        setToken(std::nullopt);
        messages.set({});
        status.set("");
        error.set(kConversationGoneText);
    } else {
        error.set(describe(failure));
    }
    busy.set(false);
}

void SupportModel::stage(const std::vector<std::string>& paths) {
    uploadNote.set("");
    std::vector<std::string> problems;
    auto list = staged.get();
    for (const auto& path : paths) {
        const auto name = std::filesystem::path(path).filename().string();
        if (list.size() >= kMaxStagedFiles) {
            problems.emplace_back("Six files at most.");
            break;
        }
        const auto mime = supportMimeType(path);
        if (!mime) {
            problems.push_back(
                name + " isn't a type support accepts \u2014 images, PDF, .txt/.log or .zip.");
            continue;
        }
        auto read = readForStaging(path);
        switch (read.outcome) {
            case StagedRead::Outcome::empty:
                problems.push_back(name + " is empty.");
                continue;
            case StagedRead::Outcome::tooLarge:
                problems.push_back(name + " is over 8 MB.");
                continue;
            case StagedRead::Outcome::unreadable:
                problems.push_back("Couldn't read " + name + ".");
                continue;
            case StagedRead::Outcome::read:
                break;
        }
        list.push_back({randomUUID(ports_.random), path,
                        std::make_shared<const std::vector<std::uint8_t>>(std::move(read.bytes)),
                        *mime});
    }
    staged.set(std::move(list));
    std::string note;
    for (const auto& problem : problems) {
        if (!note.empty()) note += "\n";
        note += problem;
    }
    uploadNote.set(note);
}

void SupportModel::unstage(const std::string& id) {
    auto list = staged.get();
    std::erase_if(list, [&](const StagedFile& file) { return file.id == id; });
    staged.set(std::move(list));
}

std::optional<std::string> SupportModel::attachmentURL(std::int64_t attachmentID) const {
    const auto stored = token();
    if (!stored) return std::nullopt;
    return client_.attachmentURL(*stored, attachmentID);
}

void SupportModel::startNewThread() {
    setToken(std::nullopt);
    messages.set({});
    pending.set({});
    staged.set({});
    status.set("");
    error.set(std::nullopt);
    uploadNote.set("");
    clearUnread();
}

void SupportModel::requestNotificationPermission() {
    ports_.notifications.requestAuthorization();
}

}  // namespace kd
