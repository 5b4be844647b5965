#include "ui/dock/mode_list_model.h"

#include "ui/dock/list_model_edits.h"
#include "ui/dock/row_sync.h"

namespace kd {

namespace {

QVariant roleValue(const ModeRow& row, int role) {
    switch (role) {
        case ModeListModel::GroupRole:
            return row.group;
        case ModeListModel::HeadingRole:
            return row.heading;
        case ModeListModel::StartsGroupRole:
            return row.startsGroup;
        case ModeListModel::ModeIdRole:
            return row.modeId;
        case ModeListModel::LabelRole:
            return row.label;
        case ModeListModel::NativeRole:
            return row.native;
        case ModeListModel::CurrentRole:
            return row.current;
        default:
            return {};
    }
}

}  // namespace

ModeListModel::ModeListModel(QObject* parent) : QAbstractListModel(parent) {}

int ModeListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : count();
}

QVariant ModeListModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) {
        return {};
    }
    return roleValue(rows_[static_cast<std::size_t>(index.row())], role);
}

QHash<int, QByteArray> ModeListModel::roleNames() const {
    return {{GroupRole, "group"},    {HeadingRole, "heading"}, {StartsGroupRole, "startsGroup"},
            {ModeIdRole, "modeId"},  {LabelRole, "label"},     {NativeRole, "nativeSize"},
            {CurrentRole, "current"}};
}

void ModeListModel::setRows(const std::vector<ModeRow>& rows) {
    const auto before = count();
    ListModelEdits<ModeListModel, ModeRow> edits{*this, GroupRole, CurrentRole, roleValue};
    // A mode may be both recommended and offered: the group tells them apart.
    syncRows(
        rows_, rows, [](const ModeRow& row) { return row.group + QString::number(row.modeId); },
        edits);
    if (count() != before) emit countChanged();
}

}  // namespace kd
