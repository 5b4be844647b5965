#include "ui/dock/mac_modes_view_model.h"

#include "display/inventory.h"
#include "display/modes.h"
#include "dock/mac_mode_switch.h"
#include "ui/dock/mac_mode_rows.h"

namespace kd {

namespace {

ModeRow rowOf(const char* group, const DisplayMode& mode, const std::optional<DisplayMode>& native,
              const std::optional<DisplayMode>& current) {
    ModeRow row;
    row.group = QString::fromLatin1(group);
    row.modeId = mode.id;
    row.label = QString::fromStdString(mode.label());
    row.native = native && sameSize(mode, *native);
    row.current = current && sameSize(mode, *current);
    return row;
}

}  // namespace

MacModesViewModel::MacModesViewModel(Platform& platform,
                                     const VirtualDisplayIdentity& virtualDisplay, QObject* parent)
    : QObject(parent), platform_(platform), virtualDisplay_(virtualDisplay), modes_(this) {}

void MacModesViewModel::refresh() {
    const auto& displays = platform_.displays;
    const auto panel = builtInDisplay(displays, virtualDisplay_);
    const auto rows =
        macModeRows(displayModes(displays, panel, false), displayModes(displays, panel, true));
    const auto recommended = recommendedMode(displays, panel);
    const auto current = currentMode(displays, panel);
    std::vector<ModeRow> list;
    if (recommended) list.push_back(rowOf("recommended", *recommended, recommended, current));
    for (const auto& mode : rows.offered)
        list.push_back(rowOf("offered", mode, recommended, current));
    for (const auto& mode : rows.more) list.push_back(rowOf("more", mode, recommended, current));
    for (std::size_t i = 0; i < list.size(); ++i) {
        auto& row = list[i];
        row.startsGroup = i == 0 || list[i - 1].group != row.group;
        if (!row.startsGroup) continue;
        if (row.group == QLatin1String("recommended")) row.heading = QStringLiteral("Recommended");
        if (row.group == QLatin1String("more")) {
            row.heading = QStringLiteral("More sizes \u2014 hidden by macOS");
        }
    }
    modes_.setRows(list);
}

void MacModesViewModel::choose(int modeId) {
    switchMacMode(
        platform_.displays, platform_.scheduler, virtualDisplay_, modeId,
        [weak = std::weak_ptr(self_)](bool switched) {
            const auto self = weak.lock();
            if (!self) return;
            (*self)->setStatus(switched ? QString() : QString::fromLatin1(kSwitchFailedText));
            (*self)->refresh();
        });
}

void MacModesViewModel::setStatus(const QString& status) {
    if (status == status_) return;
    status_ = status;
    emit statusChanged();
}

}  // namespace kd
