#include "ui/settings/choice_list_model.h"

#include <algorithm>

namespace kd {

int ChoiceListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : count();
}

QVariant ChoiceListModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) {
        return {};
    }
    const auto& row = rows_[static_cast<std::size_t>(index.row())];
    switch (role) {
        case KeyRole:
            return row.key;
        case Qt::DisplayRole:
        case LabelRole:
            return row.label;
        case NoteRole:
            return row.note;
        case ChosenRole:
            return row.chosen;
        default:
            return {};
    }
}

QHash<int, QByteArray> ChoiceListModel::roleNames() const {
    return {{KeyRole, "key"}, {LabelRole, "label"}, {NoteRole, "note"}, {ChosenRole, "chosen"}};
}

void ChoiceListModel::setRows(std::vector<Choice> rows) {
    const bool sameKeys =
        std::equal(rows.begin(), rows.end(), rows_.begin(), rows_.end(),
                   [](const Choice& a, const Choice& b) { return a.key == b.key; });
    if (sameKeys) {
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const auto& before = rows_[i];
            const auto& after = rows[i];
            QList<int> roles;
            if (before.label != after.label) roles << LabelRole << Qt::DisplayRole;
            if (before.note != after.note) roles << NoteRole;
            if (before.chosen != after.chosen) roles << ChosenRole;
            if (roles.isEmpty()) continue;
            rows_[i] = after;
            const auto at = index(static_cast<int>(i));
            emit dataChanged(at, at, roles);
        }
        return;
    }
    if (!rows_.empty()) {
        beginRemoveRows({}, 0, count() - 1);
        rows_.clear();
        endRemoveRows();
    }
    if (!rows.empty()) {
        beginInsertRows({}, 0, static_cast<int>(rows.size()) - 1);
        rows_ = std::move(rows);
        endInsertRows();
    }
    emit countChanged();
}

}  // namespace kd

// Its meta-object code joins this translation unit (see CMakeLists.txt).
#include "moc_choice_list_model.cpp"  // NOLINT(bugprone-suspicious-include)
