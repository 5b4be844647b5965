#pragma once

// The countries the contact card offers, in the order people look for them
// (by English name), for the card's country picker.
//
// Contract: fixed after construction; main thread only.

#include <QtQml/qqmlregistration.h>
#include <QAbstractListModel>

#include "support/countries.h"

namespace kd {

class CountryListModel : public QAbstractListModel {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Made by AccountViewModel")

  public:
    enum Role { CodeRole = Qt::UserRole + 1, NameRole };

    explicit CountryListModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

    // The row of `code`, or -1 when no country has it.
    Q_INVOKABLE int rowOf(const QString& code) const;

  private:
    const std::vector<Country>& countries_;
};

}  // namespace kd
