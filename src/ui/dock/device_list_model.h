#pragma once

// One row per listed device, in the scanner's order, as the main window
// shows it. The rows are made by the dock's view model; this model only keeps
// them and tells views exactly what changed.

#include <QtQml/qqmlregistration.h>
#include <QAbstractListModel>
#include <QString>
#include <vector>

namespace kd {

struct DeviceRow {
    QString deviceKey;
    QString name;
    QString subtitle;
    QString kind;  // "ipad", "appletv" or "tv"
    QString artwork;
    bool connected = false;
    bool mirrored = false;
    bool busy = false;  // the operation in flight is about this device
    QString leftHelp;
    QString topHelp;
    QString rightHelp;
    QString settingsHelp;

    friend bool operator==(const DeviceRow&, const DeviceRow&) = default;
};

class DeviceListModel : public QAbstractListModel {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Made by DockViewModel")
    Q_PROPERTY(int count READ count NOTIFY countChanged)

  public:
    enum Role {
        DeviceKeyRole = Qt::UserRole + 1,
        NameRole,
        SubtitleRole,
        KindRole,
        ArtworkRole,
        ConnectedRole,
        MirroredRole,
        BusyRole,
        LeftHelpRole,
        TopHelpRole,
        RightHelpRole,
        SettingsHelpRole,
    };
    Q_ENUM(Role)

    explicit DeviceListModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

    int count() const { return static_cast<int>(rows_.size()); }
    const std::vector<DeviceRow>& rows() const { return rows_; }
    void setRows(const std::vector<DeviceRow>& rows);

  signals:
    void countChanged();

  private:
    template <typename, typename>
    friend struct ListModelEdits;
    std::vector<DeviceRow> rows_;
};

}  // namespace kd
