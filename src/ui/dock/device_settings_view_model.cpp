#include "ui/dock/device_settings_view_model.h"

#include "display/device_display.h"
#include "display/device_prefs.h"
#include "display/mode_matching.h"
#include "display/modes.h"
#include "model/marketing_name.h"
#include "ui/dock/qt_text.h"
#include "ui/dock/settings_addresses.h"

namespace kd {

DeviceSettingsViewModel::DeviceSettingsViewModel(DockState& state, Platform& platform,
                                                 ProcessValues& values,
                                                 const VirtualDisplayIdentity& virtualDisplay,
                                                 QObject* parent)
    : QObject(parent),
      state_(state),
      platform_(platform),
      values_(values),
      virtualDisplay_(virtualDisplay),
      sizes_(this),
      rates_(this) {}

QString DeviceSettingsViewModel::deviceKey() const {
    return device_ ? qtText(device_->id) : QString();
}

QString DeviceSettingsViewModel::title() const {
    return title_;
}

QString DeviceSettingsViewModel::subtitle() const {
    return device_ ? qtText(settingsSubtitle(title_.toStdString(), scan_)) : QString();
}

QString DeviceSettingsViewModel::sourceLabel() const {
    return device_ ? qtText(kd::sourceLabel(sizeSource(scan_), device_->model)) : QString();
}

QString DeviceSettingsViewModel::rateNote() const {
    return device_ && device_->kind == DeviceKind::ipad
               ? QStringLiteral("Sidecar caps the link at 60 Hz")
               : QString();
}

QString DeviceSettingsViewModel::hdrStatus() const {
    return device_ ? qtText(hdrStatusText(sizeSource(scan_), scan_)) : QString();
}

void DeviceSettingsViewModel::open(const QString& key) {
    device_.reset();
    for (const auto& device : state_.scanner.devices.get()) {
        if (device.id == key.toStdString()) device_ = device;
    }
    ++showing_;
    note_.clear();
    probing_ = false;
    rescan();
}

void DeviceSettingsViewModel::rescan() {
    scan_ = {};
    if (!device_) {
        publish();
        return;
    }
    const auto& device = *device_;
    auto& displays = platform_.displays;
    auto& defaults = platform_.userDefaults;
    scan_.profile = profile(values_.deviceProfiles, device.model);
    scan_.target = displayID(displays, virtualDisplay_, values_.deviceSnapshot, device);
    if (scan_.target) {
        scan_.modes = displayModes(displays, scan_.target, true);
        scan_.current = currentMode(displays, scan_.target);
        scan_.recommended = recommendedMode(displays, scan_.target);
        scan_.hdr = hdrState(displays, scan_.target);
        scan_.hdrToggleable = hdrModeSupported(values_.coreDisplayLib, scan_.target);
        scan_.hdrOn = hdrModeEnabled(values_.coreDisplayLib, scan_.target);
    }
    if (!scan_.modes.empty()) {
        cacheModes(defaults, scan_.modes, device.id);
    } else {
        scan_.cached = cachedModes(defaults, device.id);
    }
    scan_.pref = savedPref(defaults, device.id);
    if (device.kind == DeviceKind::ipad) {
        scan_.sidecar =
            sidecarScanFor(sidecarScans(values_.sidecarLib.get()), device.model, device.name);
    } else if (!device.host.empty()) {
        probing_ = true;
        fetchAirPlayInfo(platform_.http, platform_.scheduler, device.host, device.port,
                         [weak = std::weak_ptr(self_), showing = showing_](auto info) {
                             const auto self = weak.lock();
                             if (!self || (*self)->showing_ != showing) return;
                             (*self)->scan_.airplay = std::move(info);
                             (*self)->probing_ = false;
                             (*self)->publish();
                         });
    }
    title_ = qtText(
        settingsTitle(marketingName(platform_.typeDatabase, device.model), scan_, device.model));
    publish();
}

void DeviceSettingsViewModel::publish() {
    const auto source = sizeSource(scan_);
    offered_ = device_ ? offeredSizes(source, scan_) : std::vector<ResOption>{};
    const auto native = nativeSize(scan_);
    std::vector<ModeRow> sizeRows;
    for (std::size_t i = 0; i < offered_.size(); ++i) {
        const auto& size = offered_[i];
        ModeRow row;
        row.group = QStringLiteral("size");
        row.modeId = static_cast<int>(i);
        row.label = qtText(sizeLabel(size.w, size.h, size.hidpi));
        row.native = native == size;
        row.current = scan_.pref &&
                      ResOption{scan_.pref->width, scan_.pref->height, scan_.pref->hidpi} == size;
        sizeRows.push_back(row);
    }
    sizes_.setRows(sizeRows);

    std::vector<ModeRow> rateRows;
    if (const auto size = chosenSize()) {
        for (const auto rate : refreshRates(source, scan_, *size)) {
            ModeRow row;
            row.group = QStringLiteral("rate");
            row.modeId = rate;
            row.label = QStringLiteral("%1 Hz").arg(rate);
            row.current = scan_.pref ? scan_.pref->refresh == rate
                                     : scan_.current && scan_.current->refresh == rate;
            rateRows.push_back(row);
        }
    }
    rates_.setRows(rateRows);
    emit changed();
}

std::optional<ResOption> DeviceSettingsViewModel::chosenSize() const {
    if (scan_.pref) return ResOption{scan_.pref->width, scan_.pref->height, scan_.pref->hidpi};
    if (scan_.target && scan_.current) {
        return ResOption{scan_.current->width, scan_.current->height, scan_.current->hidpi};
    }
    return std::nullopt;
}

void DeviceSettingsViewModel::chooseSize(int index) {
    if (!device_ || index < 0 || static_cast<std::size_t>(index) >= offered_.size()) return;
    const auto size = offered_[static_cast<std::size_t>(index)];
    const auto rates = refreshRates(sizeSource(scan_), scan_, size);
    pin(ModePref{size.w, size.h, size.hidpi, rates.empty() ? 0 : rates.front()});
}

void DeviceSettingsViewModel::chooseRate(int hertz) {
    const auto size = chosenSize();
    if (!device_ || !size || hertz < 1) return;
    pin(ModePref{size->w, size->h, size->hidpi, hertz});
}

void DeviceSettingsViewModel::pin(const ModePref& pref) {
    const auto& device = *device_;
    savePref(platform_.userDefaults, pref, device.id);
    scan_.pref = pref;
    emit pinChanged();
    if (!scan_.target) {
        note_ = qtText("Saved \u2014 Kelvane Display will apply it the moment " + device.name +
                       " connects.");
        publish();
        return;
    }
    const auto match = matchMode(pref, scan_.modes);
    if (!match) {
        note_ = QStringLiteral("That mode isn't offered right now.");
        publish();
        return;
    }
    note_.clear();
    publish();
    inBackground([&displays = platform_.displays, mode = *match,
                  target = scan_.target] { return setMode(displays, mode, target); },
                 [this](bool switched) {
                     note_ = switched ? QString() : QStringLiteral("Couldn't switch mode.");
                     rescan();
                 });
}

void DeviceSettingsViewModel::chooseAutomatic() {
    if (!device_) return;
    savePref(platform_.userDefaults, std::nullopt, device_->id);
    scan_.pref.reset();
    note_.clear();
    emit pinChanged();
    publish();
    if (!scan_.target || !scan_.recommended) return;
    inBackground([&displays = platform_.displays, mode = *scan_.recommended,
                  target = scan_.target] { return setMode(displays, mode, target); },
                 [this](bool switched) {
                     note_ = switched ? QString() : QStringLiteral("Couldn't switch mode.");
                     rescan();
                 });
}

void DeviceSettingsViewModel::setHdr(bool on) {
    if (!device_ || !scan_.target) return;
    inBackground([lib = values_.coreDisplayLib, on,
                  target = scan_.target] { return setHDRMode(lib, on, target); },
                 [this](bool switched) {
                     note_ = switched ? QString()
                                      : QStringLiteral("This display refused the HDR switch.");
                     rescan();
                 });
}

void DeviceSettingsViewModel::openDisplaySettings() {
    platform_.urlOpener.open(kDisplaysSettingsURL);
}

void DeviceSettingsViewModel::inBackground(std::function<bool()> work,
                                           std::function<void(bool)> done) {
    auto& scheduler = platform_.scheduler;
    scheduler.post(Queue::background(), [&scheduler, work = std::move(work), done = std::move(done),
                                         weak = std::weak_ptr(self_), showing = showing_] {
        const bool answer = work();
        scheduler.post(Queue::main(), [weak, showing, done, answer] {
            const auto self = weak.lock();
            if (self && (*self)->showing_ == showing) done(answer);
        });
    });
}

}  // namespace kd
