#include "ui/shell/shell_view_model.h"

namespace kd {

ShellViewModel::ShellViewModel(MenuActions& actions, const Published<int>* unread, Hooks hooks,
                               QString version, QObject* parent)
    : QObject(parent),
      actions_(actions),
      unread_(unread),
      hooks_(std::move(hooks)),
      version_(std::move(version)) {
    if (unread_) unreadSubscription_ = unread_->subscribe([this](int) { emit unreadChanged(); });
}

}  // namespace kd
