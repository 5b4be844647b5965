#include "ui/dock/dock_view_model.h"

#include "display/device_prefs.h"
#include "display/sides.h"
#include "transport/host_mac.h"
#include "ui/dock/dock_texts.h"
#include "ui/dock/qt_text.h"

namespace kd {

DockViewModel::DockViewModel(DockState& state, Platform& platform, ProcessValues& values,
                             const VirtualDisplayIdentity& virtualDisplay, QObject* parent)
    : QObject(parent),
      state_(state),
      platform_(platform),
      devices_(this),
      screenMap_(this),
      macModes_(platform, virtualDisplay, this),
      deviceSettings_(state, platform, values, virtualDisplay, this) {
    // A pin shows in the row's settings help.
    connect(&deviceSettings_, &DeviceSettingsViewModel::pinChanged, this,
            &DockViewModel::refreshRows);
    const auto rows = [this](const auto&) { refreshRows(); };
    keySubscriptions_.push_back(state_.connectedKeys.subscribe(rows));
    keySubscriptions_.push_back(state_.mirroredKeys.subscribe(rows));
    busyKeySubscription_ = state_.busyKey.subscribe(rows);
    occupiedSubscription_ = state_.occupied.subscribe(rows);
    devicesSubscription_ = state_.scanner.devices.subscribe([this](const auto&) {
        refreshRows();
        setAccessibilityGranted(accessibilityGranted_);
    });
    tilesSubscription_ = state_.tiles.subscribe(
        [this](const std::vector<ScreenTile>& tiles) { screenMap_.setTiles(tiles); });
    macSubscription_ = state_.mac.subscribe([this](const HostInfo&) { emit macChanged(); });
    flagSubscriptions_.push_back(state_.busy.subscribe([this](bool) { emit busyChanged(); }));
    flagSubscriptions_.push_back(
        state_.scanner.scanning.subscribe([this](bool) { emit scanningChanged(); }));
    flagSubscriptions_.push_back(state_.needsDisplaySettings.subscribe(
        [this](bool) { emit needsDisplaySettingsChanged(); }));
    statusSubscription_ = state_.status.subscribe([this](const auto&) { emit statusChanged(); });
    warningsSubscription_ =
        state_.warnings.subscribe([this](const auto&) { emit warningsChanged(); });

    refreshRows();
    screenMap_.setTiles(state_.tiles.get());
    setAccessibilityGranted(platform_.accessibility.isProcessTrusted(false));
    if (!accessibilityGranted_) scheduleAccessibilityCheck();

    // The model identifier picks this Mac's picture; reading it may block.
    auto& scheduler = platform_.scheduler;
    scheduler.post(Queue::background(),
                   [&scheduler, &tools = platform_.tools, weak = std::weak_ptr(self_)] {
                       auto model = sysctlString(tools, "hw.model");
                       scheduler.post(Queue::main(), [weak, model = std::move(model)] {
                           const auto self = weak.lock();
                           if (!self || (*self)->macModel_ == model) return;
                           (*self)->macModel_ = model;
                           emit(*self)->macChanged();
                       });
                   });
}

DockViewModel::~DockViewModel() {
    accessibilityCheck_.cancel();
}

QString DockViewModel::macLabel() const {
    return qtText(state_.mac.get().label);
}

QString DockViewModel::macArtwork() const {
    return qtText(macArtworkID(macModel_));
}

bool DockViewModel::busy() const {
    return state_.busy.get();
}

bool DockViewModel::scanning() const {
    return state_.scanner.scanning.get();
}

QString DockViewModel::status() const {
    return qtText(state_.status.get());
}

bool DockViewModel::needsDisplaySettings() const {
    return state_.needsDisplaySettings.get();
}

QStringList DockViewModel::warnings() const {
    QStringList lines;
    for (const auto& warning : state_.warnings.get()) lines.push_back(qtText(warning));
    return lines;
}

bool DockViewModel::accessibilityBannerShown() const {
    return bannerShown_;
}

void DockViewModel::place(const QString& key, const QString& side) {
    if (const auto chosen = sideFromRaw(side.toStdString()))
        state_.place(key.toStdString(), *chosen);
}

void DockViewModel::mirror(const QString& key) {
    if (const auto* device = listed(key)) state_.mirror(*device);
}

void DockViewModel::disconnectDevice(const QString& key) {
    if (const auto* device = listed(key)) state_.disconnect(*device);
}

void DockViewModel::rescan() {
    state_.rescan();
}

void DockViewModel::resizeMap(int width, int height) {
    screenMap_.setCanvas(width, height);
}

void DockViewModel::dropTile(const QString& key, double x, double y) {
    const auto frame = screenMap_.deviceFrame(key.toStdString());
    const auto mac = screenMap_.macFrame();
    if (!frame || !mac) return;
    const Rect dropped{x, y, frame->width, frame->height};
    state_.place(key.toStdString(), dropSide(dropped, *mac));
}

void DockViewModel::openDisplaySettings() {
    platform_.urlOpener.open(kDisplaysSettingsURL);
}

void DockViewModel::openAccessibilitySettings() {
    platform_.urlOpener.open(kAccessibilitySettingsURL);
}

void DockViewModel::refreshRows() {
    const auto& connected = state_.connectedKeys.get();
    const auto& mirrored = state_.mirroredKeys.get();
    const auto& busyKey = state_.busyKey.get();
    std::vector<DeviceRow> rows;
    for (const auto& device : state_.scanner.devices.get()) {
        const bool isConnected = connected.contains(device.id);
        const bool isMirrored = mirrored.contains(device.id);
        rows.push_back(DeviceRow{
            qtText(device.id),
            qtText(device.name),
            qtText(deviceSubtitle(device.kind, isConnected, isMirrored)),
            QString(toString(device.kind)),
            qtText(deviceArtworkID(device.kind, device.model, isConnected)),
            isConnected,
            isMirrored,
            busyKey == device.id,
            qtText(placementHelp(Side::left, state_.occupantName(Side::left, device.id))),
            qtText(placementHelp(Side::top, state_.occupantName(Side::top, device.id))),
            qtText(placementHelp(Side::right, state_.occupantName(Side::right, device.id))),
            qtText(displaySettingsHelp(savedPref(platform_.userDefaults, device.id), device.name)),
        });
    }
    devices_.setRows(rows);
}

void DockViewModel::setAccessibilityGranted(bool granted) {
    accessibilityGranted_ = granted;
    const bool shown = !accessibilityGranted_ && state_.needsAccessibility();
    if (shown == bannerShown_) return;
    bannerShown_ = shown;
    emit accessibilityBannerShownChanged();
}

// Asks without the system's prompt: the banner's button is the way to the
// permission, not a dialog every 1.5 seconds.
void DockViewModel::scheduleAccessibilityCheck() {
    accessibilityCheck_ = platform_.scheduler.after(
        kAccessibilityCheckInterval, Queue::main(), [weak = std::weak_ptr(self_)] {
            const auto self = weak.lock();
            if (!self) return;
            auto& model = **self;
            model.setAccessibilityGranted(model.platform_.accessibility.isProcessTrusted(false));
            if (!model.accessibilityGranted_) model.scheduleAccessibilityCheck();
        });
}

const Device* DockViewModel::listed(const QString& key) const {
    for (const auto& device : state_.scanner.devices.get()) {
        if (device.id == key.toStdString()) return &device;
    }
    return nullptr;
}

}  // namespace kd
