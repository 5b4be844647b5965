#pragma once

// The display settings of one device at a time: where its sizes come from,
// the sizes and refresh rates to pin, and its HDR. Opened for a device by
// its row; one per window.
//
// Contract: main thread only. Mode and HDR switches run on a background
// queue through the Scheduler and report back on the main queue, where the
// device is read again; the receiver's information arrives there too. A
// report for a device no longer shown is dropped. The controller, the
// Platform, the process values and the virtual display's identity must
// outlive the view model.

#include <QtQml/qqmlregistration.h>
#include <QObject>
#include <QString>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "display/virtual_display_identity.h"
#include "dock/dock_state.h"
#include "model/process_values.h"
#include "platform/platform.h"
#include "ui/dock/device_settings_rules.h"
#include "ui/dock/mode_list_model.h"

namespace kd {

class DeviceSettingsViewModel : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Made by DockViewModel")
    Q_PROPERTY(QString deviceKey READ deviceKey NOTIFY changed)
    Q_PROPERTY(QString title READ title NOTIFY changed)
    Q_PROPERTY(QString subtitle READ subtitle NOTIFY changed)
    Q_PROPERTY(QString sourceLabel READ sourceLabel NOTIFY changed)
    Q_PROPERTY(bool pinned READ pinned NOTIFY changed)
    Q_PROPERTY(kd::ModeListModel* sizes READ sizes CONSTANT)
    Q_PROPERTY(kd::ModeListModel* rates READ rates CONSTANT)
    Q_PROPERTY(QString rateNote READ rateNote NOTIFY changed)
    Q_PROPERTY(bool hdrSwitchShown READ hdrSwitchShown NOTIFY changed)
    Q_PROPERTY(bool hdrOn READ hdrOn NOTIFY changed)
    Q_PROPERTY(QString hdrStatus READ hdrStatus NOTIFY changed)
    Q_PROPERTY(QString note READ note NOTIFY changed)
    Q_PROPERTY(bool probing READ probing NOTIFY changed)

  public:
    DeviceSettingsViewModel(DockState& state, Platform& platform, ProcessValues& values,
                            const VirtualDisplayIdentity& virtualDisplay,
                            QObject* parent = nullptr);

    QString deviceKey() const;
    QString title() const;
    QString subtitle() const;
    QString sourceLabel() const;
    bool pinned() const { return scan_.pref.has_value(); }
    ModeListModel* sizes() { return &sizes_; }
    ModeListModel* rates() { return &rates_; }
    QString rateNote() const;
    bool hdrSwitchShown() const { return scan_.target && scan_.hdrToggleable; }
    bool hdrOn() const { return scan_.hdrOn; }
    QString hdrStatus() const;
    QString note() const { return note_; }
    bool probing() const { return probing_; }

    // Shows the listed device with that key, read afresh.
    Q_INVOKABLE void open(const QString& key);
    Q_INVOKABLE void rescan();
    // An offered size, by its place in `sizes`.
    Q_INVOKABLE void chooseSize(int index);
    Q_INVOKABLE void chooseRate(int hertz);
    Q_INVOKABLE void chooseAutomatic();
    Q_INVOKABLE void setHdr(bool on);
    Q_INVOKABLE void openDisplaySettings();

  signals:
    void changed();
    // A mode was pinned or unpinned for the device shown.
    void pinChanged();

  private:
    void publish();
    void pin(const ModePref& pref);
    // The size the refresh rates are for: the pinned one, else the one in use.
    std::optional<ResOption> chosenSize() const;
    // Runs `work` on a background queue, then `done` with its answer on the
    // main queue while the same device is shown.
    void inBackground(std::function<bool()> work, std::function<void(bool)> done);

    DockState& state_;
    Platform& platform_;
    ProcessValues& values_;
    const VirtualDisplayIdentity& virtualDisplay_;
    ModeListModel sizes_;
    ModeListModel rates_;
    std::optional<Device> device_;
    SettingsScan scan_;
    std::vector<ResOption> offered_;
    QString title_;
    QString note_;
    bool probing_ = false;
    // Tells answers for the device shown from answers for one shown before.
    std::uint64_t showing_ = 0;
    std::shared_ptr<DeviceSettingsViewModel*> self_ =
        std::make_shared<DeviceSettingsViewModel*>(this);
};

}  // namespace kd
