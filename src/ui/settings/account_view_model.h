#pragma once

// The contact card in the settings over the account model: the form while
// there is no card, the card once registered, and why the form was refused.
//
// Contract: main thread only. It follows the model's published fields,
// which change on the main thread, and tells QML at once. The model must
// outlive the view model.

#include <QtQml/qqmlregistration.h>
#include <QObject>
#include <QString>

#include "support/account_model.h"
#include "ui/settings/country_list_model.h"

namespace kd {

class AccountViewModel : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Made by the application")
    Q_PROPERTY(bool registered READ registered NOTIFY registeredChanged)
    Q_PROPERTY(QString firstName READ firstName NOTIFY cardChanged)
    Q_PROPERTY(QString lastName READ lastName NOTIFY cardChanged)
    Q_PROPERTY(QString email READ email NOTIFY cardChanged)
    Q_PROPERTY(QString country READ country NOTIFY cardChanged)
    Q_PROPERTY(QString fullName READ fullName NOTIFY cardChanged)
    Q_PROPERTY(QString problem READ problem NOTIFY problemChanged)
    Q_PROPERTY(kd::CountryListModel* countries READ countries CONSTANT)

  public:
    explicit AccountViewModel(AccountModel& account, QObject* parent = nullptr);

    bool registered() const { return account_.registered.get(); }
    QString firstName() const { return QString::fromStdString(account_.firstName.get()); }
    QString lastName() const { return QString::fromStdString(account_.lastName.get()); }
    QString email() const { return QString::fromStdString(account_.email.get()); }
    QString country() const { return QString::fromStdString(account_.country.get()); }
    QString fullName() const { return QString::fromStdString(account_.fullName()); }
    QString problem() const { return QString::fromStdString(account_.problem.get()); }
    CountryListModel* countries() { return &countries_; }

    // The form's four fields as typed; true when the card was registered.
    Q_INVOKABLE bool registerCard(const QString& firstName, const QString& lastName,
                                  const QString& email, const QString& country);
    // Back to the form, with the stored values.
    Q_INVOKABLE void edit() { account_.edit(); }

  signals:
    void registeredChanged();
    void cardChanged();
    void problemChanged();

  private:
    AccountModel& account_;
    CountryListModel countries_;
    Published<bool>::Subscription registeredSubscription_;
    Published<std::string>::Subscription problemSubscription_;
    std::vector<Published<std::string>::Subscription> cardSubscriptions_;
};

}  // namespace kd
