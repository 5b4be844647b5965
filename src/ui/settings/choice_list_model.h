#pragma once

// The rows of a pick-one list in the settings: the connection sounds, the
// themes, this Mac's display modes. Each row has a stable key, its label, an
// optional note beside it ("Native") and whether it is the current choice.
//
// Contract: main thread only. A new list with the same keys in the same
// order changes rows in place (dataChanged with the roles that changed);
// any other list replaces the rows by removing and inserting them.

#include <QtQml/qqmlregistration.h>
#include <QAbstractListModel>
#include <QString>
#include <vector>

namespace kd {

struct Choice {
    QString key;
    QString label;
    QString note;
    bool chosen = false;
    friend bool operator==(const Choice&, const Choice&) = default;
};

class ChoiceListModel : public QAbstractListModel {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Made by the settings view models")
    Q_PROPERTY(int count READ count NOTIFY countChanged)

  public:
    enum Role { KeyRole = Qt::UserRole + 1, LabelRole, NoteRole, ChosenRole };

    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

    int count() const { return static_cast<int>(rows_.size()); }
    const std::vector<Choice>& rows() const { return rows_; }
    void setRows(std::vector<Choice> rows);

  signals:
    void countChanged();

  private:
    std::vector<Choice> rows_;
};

}  // namespace kd
