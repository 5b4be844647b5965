#pragma once

// The settings popover's own settings over the dock controller: the
// connection sound, the theme, this Mac's display mode and reconnecting
// automatically.
//
// Contract: main thread only. It follows the controller's published
// settings, which change on the main thread, and tells QML at once. A mode
// switch runs on a background queue through the Scheduler and reports back
// on the main queue, where it does nothing once the view model is gone. The
// controller, the Platform and the virtual display's identity must outlive
// the view model.

#include <QtQml/qqmlregistration.h>
#include <QObject>
#include <QString>
#include <memory>

#include "display/virtual_display_identity.h"
#include "dock/dock_state.h"
#include "platform/platform.h"
#include "ui/settings/choice_list_model.h"

namespace kd {

inline constexpr const char* kModeSwitchFailedText = "Couldn't switch mode";
inline constexpr const char* kNativeModeNote = "Native";

class SettingsViewModel : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Made by the application")
    Q_PROPERTY(kd::ChoiceListModel* sounds READ sounds CONSTANT)
    Q_PROPERTY(kd::ChoiceListModel* themes READ themes CONSTANT)
    Q_PROPERTY(kd::ChoiceListModel* macModes READ macModes CONSTANT)
    Q_PROPERTY(QString modeStatus READ modeStatus NOTIFY modeStatusChanged)
    Q_PROPERTY(
        bool autoReconnect READ autoReconnect WRITE setAutoReconnect NOTIFY autoReconnectChanged)
    Q_PROPERTY(QString appVersion READ appVersion CONSTANT)

  public:
    SettingsViewModel(DockState& state, Platform& platform,
                      const VirtualDisplayIdentity& virtualDisplay, QString appVersion,
                      QObject* parent = nullptr);

    ChoiceListModel* sounds() { return &sounds_; }
    ChoiceListModel* themes() { return &themes_; }
    ChoiceListModel* macModes() { return &macModes_; }
    QString modeStatus() const { return modeStatus_; }
    bool autoReconnect() const { return state_.autoReconnect.get(); }
    void setAutoReconnect(bool on) { state_.autoReconnect.set(on); }
    QString appVersion() const { return appVersion_; }

    // Makes `id` the connection sound and plays it, also when it already was.
    Q_INVOKABLE void chooseSound(const QString& id);
    Q_INVOKABLE void chooseTheme(const QString& id);
    // Reads the built-in display's modes, hidden ones included, afresh.
    Q_INVOKABLE void loadMacModes();
    // Switches the built-in display to the mode of that key.
    Q_INVOKABLE void chooseMacMode(const QString& key);

  signals:
    void modeStatusChanged();
    void autoReconnectChanged();

  private:
    void showSound(const std::string& id);
    void showTheme(ThemeChoice choice);
    void setModeStatus(const QString& status);

    DockState& state_;
    Platform& platform_;
    const VirtualDisplayIdentity& virtualDisplay_;
    const SoundContext soundContext_;
    const QString appVersion_;
    ChoiceListModel sounds_;
    ChoiceListModel themes_;
    ChoiceListModel macModes_;
    QString modeStatus_;
    Published<std::string>::Subscription soundSubscription_;
    Published<ThemeChoice>::Subscription themeSubscription_;
    Published<bool>::Subscription autoReconnectSubscription_;
    // Mode switches in flight hold it weakly.
    std::shared_ptr<SettingsViewModel*> self_ = std::make_shared<SettingsViewModel*>(this);
};

}  // namespace kd
