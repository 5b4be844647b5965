#pragma once

// The update controls of the settings over the updater: checking by itself
// or now, the line saying what the last check found, and when that was.
//
// Contract: main thread only. It follows the updater's published fields,
// which change on the main thread, and tells QML at once. The updater must
// outlive the view model.

#include <QtQml/qqmlregistration.h>
#include <QObject>
#include <QString>
#include <optional>

#include "update/software_updater.h"

namespace kd {

// "Last checked Dec 7, 2026 at 3:41 PM" in the machine's time zone; empty
// before the first check.
QString lastCheckText(std::optional<WallTime> lastCheck);

class UpdatesViewModel : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Made by the application")
    Q_PROPERTY(bool automaticallyChecks READ automaticallyChecks WRITE setAutomaticallyChecks NOTIFY
                   automaticallyChecksChanged)
    Q_PROPERTY(bool checking READ checking NOTIFY checkingChanged)
    Q_PROPERTY(QString status READ status NOTIFY statusChanged)
    Q_PROPERTY(QString lastCheck READ lastCheck NOTIFY lastCheckChanged)

  public:
    explicit UpdatesViewModel(SoftwareUpdater& updater, QObject* parent = nullptr);

    bool automaticallyChecks() const { return updater_.automaticallyChecks.get(); }
    void setAutomaticallyChecks(bool on) { updater_.automaticallyChecks.set(on); }
    bool checking() const { return updater_.checking.get(); }
    QString status() const { return QString::fromStdString(updater_.status.get()); }
    QString lastCheck() const { return lastCheckText(updater_.lastCheck.get()); }

    Q_INVOKABLE void checkForUpdates() { updater_.checkForUpdates(); }

  signals:
    void automaticallyChecksChanged();
    void checkingChanged();
    void statusChanged();
    void lastCheckChanged();

  private:
    SoftwareUpdater& updater_;
    Published<bool>::Subscription automaticSubscription_;
    Published<bool>::Subscription checkingSubscription_;
    Published<std::string>::Subscription statusSubscription_;
    Published<std::optional<WallTime>>::Subscription lastCheckSubscription_;
};

}  // namespace kd
