#include "virtual/browser_share.h"

#include "virtual/share_settings.h"
#include "virtual/share_token.h"
#include "virtual/share_urls.h"

namespace kd {

std::string portInUseText(std::uint16_t port) {
    return "Port " + std::to_string(port) +
           " is already used by another app \u2014 quit it and try again";
}

BrowserShare::BrowserShare(Platform& platform, std::uint16_t port)
    : platform_(platform), port_(port) {
    const auto stored = readShareSettings(platform.userDefaults);
    fps.set(stored.fps);
    maxWidth.set(stored.maxWidth);
    quality.set(stored.quality);
    settingSubscriptions_.push_back(
        fps.subscribe([this](int value) { store(kShareFpsKey, std::int64_t{value}, true); }));
    settingSubscriptions_.push_back(maxWidth.subscribe(
        [this](int value) { store(kShareWidthKey, std::int64_t{value}, true); }));
    qualitySubscription_ = quality.subscribe([this](double value) {
        store(kShareQualityKey, value, false);
        if (streamer_) streamer_->setQuality(usableShareQuality(value));
    });
}

BrowserShare::~BrowserShare() {
    // The streamer first: it feeds the server until it stops.
    streamer_.reset();
    server_.stop();
}

std::uint16_t BrowserShare::port() const {
    return port_ != 0 ? port_ : server_.port();
}

const std::string& BrowserShare::token() {
    if (!token_) token_ = makeShareToken(platform_.secureRandom);
    return *token_;
}

void BrowserShare::store(const char* key, PrefValue value, bool restart) {
    platform_.userDefaults.set(key, std::move(value));
    if (restart && running.get() && sharedDisplay_) start(*sharedDisplay_);
}

void BrowserShare::start(DisplayID display) {
    if (!platform_.screenCapturePermission.allowed()) {
        requestPermission();
        return;
    }
    needsPermission.set(false);
    stop();

    const auto weak = std::weak_ptr(self_);
    // Set before the server listens, so no viewer goes uncounted.
    server_.setOnClientChange([weak, &scheduler = platform_.scheduler](int count) {
        scheduler.post(Queue::main(), [weak, count] {
            if (const auto self = weak.lock()) (*self)->viewers.set(count);
        });
    });
    // A restart keeps the port it had, so open pages find it again.
    const auto listenOn = port();
    if (server_.start(listenOn, token())) {
        status.set(portInUseText(listenOn));
        return;
    }
    if (port_ == 0) port_ = server_.port();

    auto streamer = std::make_unique<DisplayStreamer>(platform_.scheduler, platform_.screenCapture);
    streamer->setQuality(usableShareQuality(quality.get()));
    // The streamer stops before the server goes (see the destructor), so the
    // server outlives every frame handed to it.
    streamer->setOnFrame(
        [server = &server_](const JpegFrame& frame) { server->send(frame.bytes); });
    streamer->setOnError([weak](const std::string& message) {
        const auto self = weak.lock();
        if (!self) return;
        // Stopped first, so whoever reads the message sees the share is off.
        (*self)->stop();
        (*self)->status.set(message);
    });
    streamer->start(display, usableShareFps(fps.get()), usableShareWidth(maxWidth.get()));

    streamer_ = std::move(streamer);
    sharedDisplay_ = display;
    running.set(true);
    status.set("");
}

void BrowserShare::stop() {
    streamer_.reset();
    server_.stop();
    running.set(false);
    viewers.set(0);
}

std::vector<std::string> BrowserShare::urls() {
    return shareUrls(platform_.networkInterfaces.ipv4Interfaces(), port(), token());
}

bool BrowserShare::requestPermission() {
    needsPermission.set(true);
    status.set(kShareNeedsPermissionText);
    return platform_.screenCapturePermission.request();
}

void BrowserShare::openPrivacySettings() {
    platform_.urlOpener.open(kScreenRecordingSettingsAddress);
}

}  // namespace kd
