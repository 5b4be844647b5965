#include "ui/settings/country_list_model.h"

namespace kd {

CountryListModel::CountryListModel(QObject* parent)
    : QAbstractListModel(parent), countries_(countries()) {}

int CountryListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(countries_.size());
}

QVariant CountryListModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) {
        return {};
    }
    const auto& country = countries_[static_cast<std::size_t>(index.row())];
    switch (role) {
        case CodeRole:
            return QString::fromStdString(country.code);
        case Qt::DisplayRole:
        case NameRole:
            return QString::fromStdString(country.name);
        default:
            return {};
    }
}

QHash<int, QByteArray> CountryListModel::roleNames() const {
    return {{CodeRole, "code"}, {NameRole, "name"}};
}

int CountryListModel::rowOf(const QString& code) const {
    const auto wanted = code.toStdString();
    for (std::size_t i = 0; i < countries_.size(); ++i) {
        if (countries_[i].code == wanted) return static_cast<int>(i);
    }
    return -1;
}

}  // namespace kd

// Its meta-object code joins this translation unit (see CMakeLists.txt).
#include "moc_country_list_model.cpp"  // NOLINT(bugprone-suspicious-include)
