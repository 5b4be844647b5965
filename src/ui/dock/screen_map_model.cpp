#include "ui/dock/screen_map_model.h"

#include <cmath>

#include "display/layout.h"
#include "ui/dock/list_model_edits.h"
#include "ui/dock/row_sync.h"

namespace kd {

namespace {

int whole(double value) {
    return static_cast<int>(std::lround(value));
}

}  // namespace

QVariant ScreenMapModel::valueOf(const Row& row, int role) {
    switch (role) {
        case DisplayIdRole:
            return static_cast<int>(row.tile.id);
        case DeviceKeyRole:
            return QString::fromStdString(row.tile.key.value_or(""));
        case NameRole:
            return QString::fromStdString(row.tile.name);
        case BuiltInRole:
            return row.tile.builtIn;
        case KindRole:
            return row.tile.kind ? QString(toString(*row.tile.kind)) : QString();
        case TileXRole:
            return whole(row.frame.x);
        case TileYRole:
            return whole(row.frame.y);
        case TileWidthRole:
            return whole(row.frame.width);
        case TileHeightRole:
            return whole(row.frame.height);
        default:
            return {};
    }
}

ScreenMapModel::ScreenMapModel(QObject* parent) : QAbstractListModel(parent) {}

int ScreenMapModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

QVariant ScreenMapModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) {
        return {};
    }
    return valueOf(rows_[static_cast<std::size_t>(index.row())], role);
}

QHash<int, QByteArray> ScreenMapModel::roleNames() const {
    return {
        {DisplayIdRole, "displayId"}, {DeviceKeyRole, "deviceKey"}, {NameRole, "name"},
        {BuiltInRole, "builtIn"},     {KindRole, "kind"},           {TileXRole, "tileX"},
        {TileYRole, "tileY"},         {TileWidthRole, "tileWidth"}, {TileHeightRole, "tileHeight"}};
}

void ScreenMapModel::setCanvas(int width, int height) {
    if (width == canvasWidth_ && height == canvasHeight_) return;
    canvasWidth_ = width;
    canvasHeight_ = height;
    relayout();
}

void ScreenMapModel::setTiles(const std::vector<ScreenTile>& tiles) {
    tiles_ = tiles;
    relayout();
}

std::optional<Rect> ScreenMapModel::deviceFrame(const std::string& key) const {
    for (const auto& row : rows_) {
        if (!row.tile.builtIn && row.tile.key == key) return row.frame;
    }
    return std::nullopt;
}

std::optional<Rect> ScreenMapModel::macFrame() const {
    for (const auto& row : rows_) {
        if (row.tile.builtIn) return row.frame;
    }
    return std::nullopt;
}

// A canvas too small to hold the screens shows none of them.
void ScreenMapModel::relayout() {
    const auto frames = layoutTiles(
        tiles_, CanvasSize{static_cast<double>(canvasWidth_), static_cast<double>(canvasHeight_)});
    std::vector<Row> next;
    for (const auto& tile : tiles_) {
        const auto frame = frames.find(tile.id);
        if (frame != frames.end()) next.push_back(Row{tile, frame->second});
    }
    ListModelEdits<ScreenMapModel, Row> edits{*this, DisplayIdRole, TileHeightRole, valueOf};
    syncRows(
        rows_, next, [](const Row& row) { return row.tile.id; }, edits);
}

}  // namespace kd
