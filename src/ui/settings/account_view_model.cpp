#include "ui/settings/account_view_model.h"

namespace kd {

AccountViewModel::AccountViewModel(AccountModel& account, QObject* parent)
    : QObject(parent), account_(account), countries_(this) {
    registeredSubscription_ =
        account_.registered.subscribe([this](bool) { emit registeredChanged(); });
    problemSubscription_ =
        account_.problem.subscribe([this](const auto&) { emit problemChanged(); });
    for (const auto* field :
         {&account_.firstName, &account_.lastName, &account_.email, &account_.country}) {
        cardSubscriptions_.push_back(field->subscribe([this](const auto&) { emit cardChanged(); }));
    }
}

bool AccountViewModel::registerCard(const QString& firstName, const QString& lastName,
                                    const QString& email, const QString& country) {
    return account_.registerCard(firstName.toStdString(), lastName.toStdString(),
                                 email.toStdString(), country.toStdString());
}

}  // namespace kd

// Its meta-object code joins this translation unit (see CMakeLists.txt).
#include "moc_account_view_model.cpp"  // NOLINT(bugprone-suspicious-include)
