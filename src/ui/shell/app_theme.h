#pragma once

// The colours of the theme in force: our own drawing's (glass, glow, the
// unread dot) and the ones each window hands its controls as its palette,
// since Qt Quick's styles fix theirs at start and never read the
// application palette again.

#include <QtQml/qqmlregistration.h>
#include <QColor>
#include <QObject>

namespace kd {

class AppTheme : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("made by the application")
    Q_PROPERTY(bool dark READ dark NOTIFY changed)
    Q_PROPERTY(QColor window READ window NOTIFY changed)
    Q_PROPERTY(QColor base READ base NOTIFY changed)
    Q_PROPERTY(QColor button READ button NOTIFY changed)
    Q_PROPERTY(QColor glass READ glass NOTIFY changed)
    Q_PROPERTY(QColor text READ text NOTIFY changed)
    Q_PROPERTY(QColor secondaryText READ secondaryText NOTIFY changed)
    Q_PROPERTY(QColor hover READ hover NOTIFY changed)
    Q_PROPERTY(QColor separator READ separator NOTIFY changed)
    Q_PROPERTY(QColor accent READ accent NOTIFY changed)
    Q_PROPERTY(QColor alert READ alert CONSTANT)

  public:
    using QObject::QObject;

    bool dark() const { return dark_; }
    void setDark(bool dark);

    QColor window() const { return dark_ ? QColor(0x1c, 0x1e, 0x24) : QColor(0xf3, 0xf4, 0xf7); }
    QColor base() const { return dark_ ? QColor(0x26, 0x29, 0x30) : QColor(0xff, 0xff, 0xff); }
    QColor button() const { return dark_ ? QColor(0x30, 0x33, 0x3b) : QColor(0xe9, 0xeb, 0xef); }
    QColor glass() const { return dark_ ? QColor(255, 255, 255, 18) : QColor(255, 255, 255, 190); }
    QColor text() const { return dark_ ? QColor(0xf2, 0xf3, 0xf5) : QColor(0x1d, 0x1f, 0x24); }
    QColor secondaryText() const {
        return dark_ ? QColor(0xa0, 0xa4, 0xad) : QColor(0x6b, 0x70, 0x7a);
    }
    QColor hover() const { return dark_ ? QColor(255, 255, 255, 28) : QColor(0, 0, 0, 20); }
    QColor separator() const { return dark_ ? QColor(255, 255, 255, 26) : QColor(0, 0, 0, 28); }
    QColor accent() const { return dark_ ? QColor(0x4c, 0x9d, 0xff) : QColor(0x1a, 0x73, 0xe8); }
    QColor alert() const { return QColor(0xff, 0x3b, 0x30); }

  signals:
    void changed();

  private:
    bool dark_ = false;
};

}  // namespace kd
