#pragma once

// The quick list of this Mac's own display modes: the recommended one, the
// sizes macOS lists, and the sizes only its hidden HiDPI duplicates offer.
//
// Contract: main thread only; switching runs on a background queue through
// the Scheduler and reports back on the main queue, after which the list is
// read again. The Platform and the virtual display's identity must outlive
// the view model.

#include <QtQml/qqmlregistration.h>
#include <QObject>
#include <QString>
#include <memory>
#include <optional>

#include "display/virtual_display_identity.h"
#include "platform/platform.h"
#include "ui/dock/mode_list_model.h"

namespace kd {

inline constexpr const char* kSwitchFailedText = "Couldn't switch mode";

class MacModesViewModel : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Made by DockViewModel")
    Q_PROPERTY(kd::ModeListModel* modes READ modes CONSTANT)
    Q_PROPERTY(QString status READ status NOTIFY statusChanged)

  public:
    MacModesViewModel(Platform& platform, const VirtualDisplayIdentity& virtualDisplay,
                      QObject* parent = nullptr);

    ModeListModel* modes() { return &modes_; }
    QString status() const { return status_; }

    // Reads the built-in panel's modes again.
    Q_INVOKABLE void refresh();
    // Switches the panel to the mode of that id.
    Q_INVOKABLE void choose(int modeId);

  signals:
    void statusChanged();

  private:
    void setStatus(const QString& status);

    Platform& platform_;
    const VirtualDisplayIdentity& virtualDisplay_;
    ModeListModel modes_;
    QString status_;
    std::shared_ptr<MacModesViewModel*> self_ = std::make_shared<MacModesViewModel*>(this);
};

}  // namespace kd
