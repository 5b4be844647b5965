#include "ui/shell/qt_appearance.h"

#include <QGuiApplication>
#include <QPalette>

#include "ui/shell/desktop_scheme.h"

namespace kd {

namespace {

QPalette paletteFor(bool dark) {
    QPalette palette;
    const QColor window = dark ? QColor(0x1c, 0x1e, 0x24) : QColor(0xf3, 0xf4, 0xf7);
    const QColor base = dark ? QColor(0x26, 0x29, 0x30) : QColor(0xff, 0xff, 0xff);
    const QColor text = dark ? QColor(0xf2, 0xf3, 0xf5) : QColor(0x1d, 0x1f, 0x24);
    const QColor button = dark ? QColor(0x30, 0x33, 0x3b) : QColor(0xe9, 0xeb, 0xef);
    const QColor highlight = dark ? QColor(0x4c, 0x9d, 0xff) : QColor(0x1a, 0x73, 0xe8);
    palette.setColor(QPalette::Window, window);
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::Base, base);
    palette.setColor(QPalette::AlternateBase, button);
    palette.setColor(QPalette::Text, text);
    palette.setColor(QPalette::Button, button);
    palette.setColor(QPalette::ButtonText, text);
    palette.setColor(QPalette::ToolTipBase, base);
    palette.setColor(QPalette::ToolTipText, text);
    palette.setColor(QPalette::PlaceholderText, QColor(0x8a, 0x8f, 0x99));
    palette.setColor(QPalette::Highlight, highlight);
    palette.setColor(QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::Link, highlight);
    palette.setColor(QPalette::Disabled, QPalette::Text, QColor(0x80, 0x84, 0x8c));
    palette.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0x80, 0x84, 0x8c));
    palette.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(0x80, 0x84, 0x8c));
    return palette;
}

}  // namespace

QtAppearance::QtAppearance(AppTheme& theme, std::function<bool()> desktopPrefersDark)
    : theme_(theme), desktopPrefersDark_(std::move(desktopPrefersDark)) {}

void QtAppearance::setAppearance(std::optional<AppearanceName> name) {
    const bool dark = name ? *name == AppearanceName::dark : desktopPrefersDark_();
    QGuiApplication::setPalette(paletteFor(dark));
    theme_.setDark(dark);
}

std::function<bool()> desktopDarkReader() {
    // Read before the first forced palette replaces it.
    const int lightness = QGuiApplication::palette().color(QPalette::Window).lightness();
    return [lightness] { return desktopPrefersDark(readGnomeColorScheme(), lightness); };
}

}  // namespace kd
