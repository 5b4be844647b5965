#pragma once

// Items of a Qt Quick scene found by name through the visual tree, where
// the delegates of repeaters live (QObject::findChild does not reach them).

#include <QList>
#include <QQuickItem>
#include <QString>

namespace kd {

inline QQuickItem* findItem(QQuickItem* root, const QString& name) {
    if (root == nullptr) return nullptr;
    if (root->objectName() == name) return root;
    for (auto* child : root->childItems()) {
        if (auto* found = findItem(child, name)) return found;
    }
    return nullptr;
}

// Every item named `name` under `root`, in the visual tree's order.
inline QList<QQuickItem*> findItems(QQuickItem* root, const QString& name) {
    QList<QQuickItem*> found;
    if (root == nullptr) return found;
    if (root->objectName() == name) found << root;
    for (auto* child : root->childItems()) found << findItems(child, name);
    return found;
}

}  // namespace kd
