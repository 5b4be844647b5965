#include "ui/settings/updates_view_model.h"

#include <QDateTime>
#include <QLocale>

namespace kd {

QString lastCheckText(std::optional<WallTime> lastCheck) {
    if (!lastCheck) return {};
    const auto when = QDateTime::fromSecsSinceEpoch(lastCheck->time_since_epoch().count());
    // The window is English whatever the user's language.
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    return QStringLiteral("Last checked ") +
           english.toString(when, QStringLiteral("MMM d, yyyy 'at' h:mm AP"));
}

UpdatesViewModel::UpdatesViewModel(SoftwareUpdater& updater, QObject* parent)
    : QObject(parent), updater_(updater) {
    automaticSubscription_ =
        updater_.automaticallyChecks.subscribe([this](bool) { emit automaticallyChecksChanged(); });
    checkingSubscription_ = updater_.checking.subscribe([this](bool) { emit checkingChanged(); });
    statusSubscription_ = updater_.status.subscribe([this](const auto&) { emit statusChanged(); });
    lastCheckSubscription_ =
        updater_.lastCheck.subscribe([this](const auto&) { emit lastCheckChanged(); });
}

}  // namespace kd

// Its meta-object code joins this translation unit (see CMakeLists.txt).
#include "moc_updates_view_model.cpp"  // NOLINT(bugprone-suspicious-include)
