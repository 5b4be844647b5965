#include "ui/dock/device_list_model.h"

#include "ui/dock/list_model_edits.h"
#include "ui/dock/row_sync.h"

namespace kd {

namespace {

QVariant roleValue(const DeviceRow& row, int role) {
    switch (role) {
        case DeviceListModel::DeviceKeyRole:
            return row.deviceKey;
        case DeviceListModel::NameRole:
            return row.name;
        case DeviceListModel::SubtitleRole:
            return row.subtitle;
        case DeviceListModel::KindRole:
            return row.kind;
        case DeviceListModel::ArtworkRole:
            return row.artwork;
        case DeviceListModel::ConnectedRole:
            return row.connected;
        case DeviceListModel::MirroredRole:
            return row.mirrored;
        case DeviceListModel::BusyRole:
            return row.busy;
        case DeviceListModel::LeftHelpRole:
            return row.leftHelp;
        case DeviceListModel::TopHelpRole:
            return row.topHelp;
        case DeviceListModel::RightHelpRole:
            return row.rightHelp;
        case DeviceListModel::SettingsHelpRole:
            return row.settingsHelp;
        default:
            return {};
    }
}

}  // namespace

DeviceListModel::DeviceListModel(QObject* parent) : QAbstractListModel(parent) {}

int DeviceListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : count();
}

QVariant DeviceListModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) {
        return {};
    }
    return roleValue(rows_[static_cast<std::size_t>(index.row())], role);
}

QHash<int, QByteArray> DeviceListModel::roleNames() const {
    return {{DeviceKeyRole, "deviceKey"}, {NameRole, "name"},
            {SubtitleRole, "subtitle"},   {KindRole, "kind"},
            {ArtworkRole, "artwork"},     {ConnectedRole, "connected"},
            {MirroredRole, "mirrored"},   {BusyRole, "busy"},
            {LeftHelpRole, "leftHelp"},   {TopHelpRole, "topHelp"},
            {RightHelpRole, "rightHelp"}, {SettingsHelpRole, "settingsHelp"}};
}

void DeviceListModel::setRows(const std::vector<DeviceRow>& rows) {
    const auto before = count();
    ListModelEdits<DeviceListModel, DeviceRow> edits{*this, DeviceKeyRole, SettingsHelpRole,
                                                     roleValue};
    syncRows(
        rows_, rows, [](const DeviceRow& row) { return row.deviceKey; }, edits);
    if (count() != before) emit countChanged();
}

}  // namespace kd
