#pragma once

// What `syncRows` needs from a list model: its row insertions, moves and
// removals, and, for a row that stayed, a dataChanged naming exactly the
// roles whose values changed. The model must make it a friend, since the
// calls it makes are the model's protected ones.

#include <QAbstractListModel>
#include <QList>
#include <QVariant>

namespace kd {

template <typename Model, typename Row>
struct ListModelEdits {
    using ValueOf = QVariant (*)(const Row&, int role);

    Model& model;
    int firstRole;
    int lastRole;
    ValueOf valueOf;

    void beginRemove(int row) { model.beginRemoveRows(QModelIndex(), row, row); }
    void endRemove() { model.endRemoveRows(); }
    void beginMove(int from, int to) {
        model.beginMoveRows(QModelIndex(), from, from, QModelIndex(), to);
    }
    void endMove() { model.endMoveRows(); }
    void beginInsert(int row) { model.beginInsertRows(QModelIndex(), row, row); }
    void endInsert() { model.endInsertRows(); }
    void changed(int row, const Row& old, const Row& now) {
        QList<int> roles;
        for (int role = firstRole; role <= lastRole; ++role) {
            if (valueOf(old, role) != valueOf(now, role)) roles.push_back(role);
        }
        if (roles.isEmpty()) return;
        const auto at = model.index(row);
        emit model.dataChanged(at, at, roles);
    }
};

}  // namespace kd
