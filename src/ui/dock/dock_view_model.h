#pragma once

// The main window's view of the dock controller: its published state as
// properties, its actions as invokables taking a device key, the device rows
// and the map of screens as list models. It adapts and formats; every
// decision stays with DockState.
//
// Contract: main thread only. DockState tells its subscribers on the main
// queue, so every change signal is emitted there, inside the controller's
// change. The accessibility check runs on the Scheduler's main queue every
// kAccessibilityCheckInterval until the permission is given. DockState, the
// Platform, the process values and the virtual display's identity must
// outlive the view model.

#include <QtQml/qqmlregistration.h>
#include <QObject>
#include <QString>
#include <QStringList>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "dock/dock_state.h"
#include "platform/platform.h"
#include "ui/dock/device_list_model.h"
#include "ui/dock/device_settings_view_model.h"
#include "ui/dock/mac_modes_view_model.h"
#include "ui/dock/screen_map_model.h"
#include "ui/dock/settings_addresses.h"

namespace kd {

inline constexpr std::chrono::milliseconds kAccessibilityCheckInterval{1500};

class DockViewModel : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Made by the application around its DockState")
    Q_PROPERTY(kd::DeviceListModel* devices READ devices CONSTANT)
    Q_PROPERTY(kd::ScreenMapModel* screenMap READ screenMap CONSTANT)
    Q_PROPERTY(kd::MacModesViewModel* macModes READ macModes CONSTANT)
    Q_PROPERTY(kd::DeviceSettingsViewModel* deviceSettings READ deviceSettings CONSTANT)
    Q_PROPERTY(QString macLabel READ macLabel NOTIFY macChanged)
    Q_PROPERTY(QString macArtwork READ macArtwork NOTIFY macChanged)
    Q_PROPERTY(bool busy READ busy NOTIFY busyChanged)
    Q_PROPERTY(bool scanning READ scanning NOTIFY scanningChanged)
    Q_PROPERTY(QString status READ status NOTIFY statusChanged)
    Q_PROPERTY(
        bool needsDisplaySettings READ needsDisplaySettings NOTIFY needsDisplaySettingsChanged)
    Q_PROPERTY(QStringList warnings READ warnings NOTIFY warningsChanged)
    Q_PROPERTY(bool accessibilityBannerShown READ accessibilityBannerShown NOTIFY
                   accessibilityBannerShownChanged)

  public:
    DockViewModel(DockState& state, Platform& platform, ProcessValues& values,
                  const VirtualDisplayIdentity& virtualDisplay, QObject* parent = nullptr);
    ~DockViewModel() override;

    DeviceListModel* devices() { return &devices_; }
    ScreenMapModel* screenMap() { return &screenMap_; }
    MacModesViewModel* macModes() { return &macModes_; }
    DeviceSettingsViewModel* deviceSettings() { return &deviceSettings_; }
    QString macLabel() const;
    QString macArtwork() const;
    bool busy() const;
    bool scanning() const;
    QString status() const;
    bool needsDisplaySettings() const;
    QStringList warnings() const;
    bool accessibilityBannerShown() const;

    // Side is "left", "right" or "top"; the controller says when it is taken.
    Q_INVOKABLE void place(const QString& key, const QString& side);
    Q_INVOKABLE void mirror(const QString& key);
    Q_INVOKABLE void disconnectDevice(const QString& key);
    Q_INVOKABLE void rescan();
    Q_INVOKABLE void resizeMap(int width, int height);
    // A device's tile let go with its top left corner at (x, y) in the map.
    Q_INVOKABLE void dropTile(const QString& key, double x, double y);
    Q_INVOKABLE void openDisplaySettings();
    Q_INVOKABLE void openAccessibilitySettings();

  signals:
    void macChanged();
    void busyChanged();
    void scanningChanged();
    void statusChanged();
    void needsDisplaySettingsChanged();
    void warningsChanged();
    void accessibilityBannerShownChanged();

  private:
    void refreshRows();
    void setAccessibilityGranted(bool granted);
    void scheduleAccessibilityCheck();
    const Device* listed(const QString& key) const;

    DockState& state_;
    Platform& platform_;
    DeviceListModel devices_;
    ScreenMapModel screenMap_;
    MacModesViewModel macModes_;
    DeviceSettingsViewModel deviceSettings_;
    std::string macModel_;
    bool accessibilityGranted_ = false;
    bool bannerShown_ = false;
    std::vector<Published<std::set<std::string>>::Subscription> keySubscriptions_;
    Published<std::vector<Device>>::Subscription devicesSubscription_;
    Published<std::optional<std::string>>::Subscription busyKeySubscription_;
    Published<std::map<std::string, Side>>::Subscription occupiedSubscription_;
    Published<std::vector<ScreenTile>>::Subscription tilesSubscription_;
    Published<HostInfo>::Subscription macSubscription_;
    std::vector<Published<bool>::Subscription> flagSubscriptions_;
    Published<std::string>::Subscription statusSubscription_;
    Published<std::vector<std::string>>::Subscription warningsSubscription_;
    TimerHandle accessibilityCheck_;
    // Scheduled tasks hold it weakly: they run only while the view model lives.
    std::shared_ptr<DockViewModel*> self_ = std::make_shared<DockViewModel*>(this);
};

}  // namespace kd
