#pragma once

// The tiles of the map of screens, laid out in the canvas the view gives it:
// the Mac's own screen first, then each extended screen. Geometry comes as
// whole canvas pixels in int roles.

#include <QtQml/qqmlregistration.h>
#include <QAbstractListModel>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "display/screen_tile.h"

namespace kd {

class ScreenMapModel : public QAbstractListModel {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Made by DockViewModel")

  public:
    enum Role {
        DisplayIdRole = Qt::UserRole + 1,
        DeviceKeyRole,  // empty for the Mac's own screen and for unowned screens
        NameRole,
        BuiltInRole,
        KindRole,  // "ipad", "appletv", "tv", or empty
        TileXRole,
        TileYRole,
        TileWidthRole,
        TileHeightRole,
    };
    Q_ENUM(Role)

    explicit ScreenMapModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

    // The room the view gives the map, in canvas pixels.
    void setCanvas(int width, int height);

    void setTiles(const std::vector<ScreenTile>& tiles);

    // Where a device's tile and the Mac's tile sit in the canvas now.
    std::optional<Rect> deviceFrame(const std::string& key) const;
    std::optional<Rect> macFrame() const;

  private:
    struct Row {
        ScreenTile tile;
        Rect frame;
        friend bool operator==(const Row&, const Row&) = default;
    };
    static QVariant valueOf(const Row& row, int role);
    template <typename, typename>
    friend struct ListModelEdits;
    void relayout();
    std::vector<Row> rows_;
    std::vector<ScreenTile> tiles_;
    int canvasWidth_ = 0;
    int canvasHeight_ = 0;
};

}  // namespace kd
