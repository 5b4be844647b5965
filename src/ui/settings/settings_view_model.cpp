#include "ui/settings/settings_view_model.h"

#include "display/inventory.h"
#include "display/modes.h"
#include "dock/mac_mode_switch.h"

namespace kd {

namespace {

QString qtText(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

SettingsViewModel::SettingsViewModel(DockState& state, Platform& platform,
                                     const VirtualDisplayIdentity& virtualDisplay,
                                     QString appVersion, QObject* parent)
    : QObject(parent),
      state_(state),
      platform_(platform),
      virtualDisplay_(virtualDisplay),
      soundContext_{platform.sound, platform.soundsFolder, platform.scheduler},
      appVersion_(std::move(appVersion)),
      sounds_(this),
      themes_(this),
      macModes_(this) {
    showSound(state_.soundID.get());
    showTheme(state_.theme.get());
    soundSubscription_ = state_.soundID.subscribe([this](const std::string& id) { showSound(id); });
    themeSubscription_ = state_.theme.subscribe([this](ThemeChoice choice) { showTheme(choice); });
    autoReconnectSubscription_ =
        state_.autoReconnect.subscribe([this](bool) { emit autoReconnectChanged(); });
}

void SettingsViewModel::chooseSound(const QString& id) {
    const auto chosen = id.toStdString();
    for (const auto& option : soundOptions) {
        if (option.id != chosen) continue;
        state_.soundID.set(chosen);
        previewSound(soundContext_, option.id);
        return;
    }
}

void SettingsViewModel::chooseTheme(const QString& id) {
    for (const auto choice : kAllThemeChoices) {
        if (qtText(rawValue(choice)) == id) state_.theme.set(choice);
    }
}

void SettingsViewModel::loadMacModes() {
    const auto& displays = platform_.displays;
    const auto panel = builtInDisplay(displays, virtualDisplay_);
    const auto current = currentMode(displays, panel);
    const auto recommended = recommendedMode(displays, panel);
    std::vector<Choice> rows;
    for (const auto& mode : displayModes(displays, panel, true)) {
        rows.push_back({QString::number(mode.id), qtText(mode.label()),
                        recommended && *recommended == mode ? kNativeModeNote : QString(),
                        current && *current == mode});
    }
    macModes_.setRows(std::move(rows));
}

void SettingsViewModel::chooseMacMode(const QString& key) {
    bool isNumber = false;
    const int modeId = key.toInt(&isNumber);
    if (!isNumber) return;
    switchMacMode(platform_.displays, platform_.scheduler, virtualDisplay_, modeId,
                  [weak = std::weak_ptr(self_)](bool switched) {
                      const auto self = weak.lock();
                      if (!self) return;
                      (*self)->setModeStatus(switched ? QString() : QString(kModeSwitchFailedText));
                      (*self)->loadMacModes();
                  });
}

void SettingsViewModel::showSound(const std::string& id) {
    std::vector<Choice> rows;
    rows.reserve(soundOptions.size());
    for (const auto& option : soundOptions) {
        rows.push_back({qtText(option.id), qtText(option.label), {}, option.id == id});
    }
    sounds_.setRows(std::move(rows));
}

void SettingsViewModel::showTheme(ThemeChoice current) {
    std::vector<Choice> rows;
    rows.reserve(kAllThemeChoices.size());
    for (const auto choice : kAllThemeChoices) {
        rows.push_back({qtText(rawValue(choice)), qtText(label(choice)), {}, choice == current});
    }
    themes_.setRows(std::move(rows));
}

void SettingsViewModel::setModeStatus(const QString& status) {
    if (status == modeStatus_) return;
    modeStatus_ = status;
    emit modeStatusChanged();
}

}  // namespace kd

// Its meta-object code joins this translation unit (see CMakeLists.txt).
#include "moc_settings_view_model.cpp"  // NOLINT(bugprone-suspicious-include)
