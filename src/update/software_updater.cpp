#include "update/software_updater.h"

#include <utility>

#include "update/appcast.h"
#include "update/relaunch_cleanup.h"
#include "update/update_feed.h"

namespace kd {

bool automaticCheckDue(std::optional<WallTime> lastCheck, WallTime now) {
    return !lastCheck || now < *lastCheck || now - *lastCheck >= kAutomaticCheckInterval;
}

SoftwareUpdater::SoftwareUpdater(Platform& platform, std::string currentVersion,
                                 WallClock wallClock)
    : automaticallyChecks(platform.userDefaults.boolValue(kAutomaticallyChecksKey).value_or(true)),
      platform_(platform),
      currentVersion_(std::move(currentVersion)),
      wallClock_(std::move(wallClock)) {
    if (const auto seconds = platform.userDefaults.integer(kLastUpdateCheckKey)) {
        lastCheck.set(WallTime(std::chrono::seconds(*seconds)));
    }
    automaticSubscription_ =
        automaticallyChecks.subscribe([&defaults = platform.userDefaults](bool on) {
            defaults.set(kAutomaticallyChecksKey, on);
        });
}

SoftwareUpdater::~SoftwareUpdater() {
    lookTimer_.cancel();
}

WallTime SoftwareUpdater::systemWallClock() {
    return std::chrono::floor<std::chrono::seconds>(std::chrono::system_clock::now());
}

void SoftwareUpdater::start() {
    if (std::exchange(started_, true)) return;
    lookTimer_ = platform_.scheduler.after(kFirstAutomaticLook, Queue::main(),
                                           [weak = std::weak_ptr(self_)] {
                                               if (const auto self = weak.lock()) (*self)->look();
                                           });
}

void SoftwareUpdater::look() {
    if (automaticallyChecks.get() && automaticCheckDue(lastCheck.get(), wallClock_())) {
        checkForUpdates();
    }
    lookTimer_ = platform_.scheduler.after(kAutomaticLookInterval, Queue::main(),
                                           [weak = std::weak_ptr(self_)] {
                                               if (const auto self = weak.lock()) (*self)->look();
                                           });
}

void SoftwareUpdater::checkForUpdates() {
    if (checking.get()) return;
    checking.set(true);
    status.set(kCheckingForUpdatesText);
    auto address = UpdateFeed::requestURL(UpdateFeed::url(platform_.userDefaults));
    platform_.scheduler.post(
        Queue::background(),
        [&http = platform_.http, &scheduler = platform_.scheduler, address = std::move(address),
         version = currentVersion_, weak = std::weak_ptr(self_)] {
            std::optional<HttpResponse> answer;
            if (address) {
                HttpRequest request;
                request.url = *address;
                request.headers = {{"Accept", "application/rss+xml, application/xml, text/xml"},
                                   {"User-Agent", "KelvaneDisplay/" + version}};
                request.timeout = kFeedTimeout;
                request.maxBodyBytes = kMaxAppcastBytes;
                answer = http.perform(request);
            }
            scheduler.post(Queue::main(), [weak, result = readFeedAnswer(answer, version)] {
                if (const auto self = weak.lock()) (*self)->checked(result);
            });
        });
}

void SoftwareUpdater::checked(const UpdateCheckResult& result) {
    const auto now = wallClock_();
    platform_.userDefaults.set(kLastUpdateCheckKey,
                               static_cast<std::int64_t>(now.time_since_epoch().count()));
    lastCheck.set(now);
    if (result.kind == UpdateCheckResult::Kind::available) {
        availableVersion.set(result.version);
    } else if (result.kind == UpdateCheckResult::Kind::upToDate) {
        availableVersion.set(std::nullopt);
    }
    status.set(updateStatusLine(result));
    checking.set(false);
}

void SoftwareUpdater::prepareForRelaunch(std::function<void()> done) {
    handBackBeforeRelaunch(platform_.scheduler, state, virtualDisplay, std::move(done));
}

}  // namespace kd
