#include "ui/dock/device_art_provider.h"

#include <QLinearGradient>
#include <QPainter>
#include <QQmlEngine>
#include <algorithm>

#include "model/marketing_name.h"

namespace kd {

namespace {

// Pictures are made at this size and scaled for the view.
constexpr int kArtSize = 512;

struct ArtRequest {
    bool dark = false;
    QString kind;
    bool lit = false;
    QString model;
};

std::optional<ArtRequest> parse(const QString& id) {
    const auto parts = id.split(QLatin1Char('/'));
    if (parts.size() < 4) return std::nullopt;
    // The model goes last and keeps any slash of its own.
    return ArtRequest{parts[0] == QLatin1String("dark"), parts[1], parts[2] == QLatin1String("lit"),
                      parts.mid(3).join(QLatin1Char('/'))};
}

QLinearGradient litFace(const QRectF& face) {
    QLinearGradient gradient(face.topLeft(), face.bottomRight());
    gradient.setColorAt(0, QColor(0x7c, 0xc8, 0xff));
    gradient.setColorAt(0.55, QColor(0x3f, 0x7b, 0xf0));
    gradient.setColorAt(1, QColor(0x5b, 0x3f, 0xd8));
    return gradient;
}

const QColor kDarkFace(0x0b, 0x0d, 0x12);

// The artwork's screen is its near-black opaque area; it is repainted so
// that every picture lights the same way.
QImage repaintScreen(QImage art, bool lit) {
    const auto isScreen = [](QRgb pixel) {
        return qAlpha(pixel) > 200 && std::max({qRed(pixel), qGreen(pixel), qBlue(pixel)}) <= 16;
    };
    QRect face;
    for (int y = 0; y < art.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(art.constScanLine(y));
        for (int x = 0; x < art.width(); ++x) {
            if (isScreen(line[x])) face |= QRect(x, y, 1, 1);
        }
    }
    if (face.isEmpty()) return art;
    QImage paint(art.size(), QImage::Format_ARGB32_Premultiplied);
    paint.fill(Qt::transparent);
    {
        QPainter painter(&paint);
        if (lit) {
            painter.fillRect(face, litFace(face));
        } else {
            painter.fillRect(face, kDarkFace);
        }
    }
    for (int y = face.top(); y <= face.bottom(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(art.scanLine(y));
        const auto* colours = reinterpret_cast<const QRgb*>(paint.constScanLine(y));
        for (int x = face.left(); x <= face.right(); ++x) {
            if (isScreen(line[x])) line[x] = colours[x];
        }
    }
    return art;
}

// Pixels short of the size an image claims are not read past: such an image
// is no picture at all.
bool wellFormed(const Image& image) {
    return !image.empty() && image.rgba.size() / 4 / static_cast<std::size_t>(image.width) >=
                                 static_cast<std::size_t>(image.height);
}

QImage fromArtwork(const Image& image, bool lit) {
    QImage art(image.rgba.data(), image.width, image.height,
               static_cast<qsizetype>(image.width) * 4, QImage::Format_RGBA8888);
    auto scaled = art.convertToFormat(QImage::Format_ARGB32_Premultiplied)
                      .scaled(kArtSize, kArtSize, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return repaintScreen(std::move(scaled), lit);
}

void paintFace(QPainter& painter, const QRectF& face, qreal radius, bool lit) {
    painter.setPen(Qt::NoPen);
    if (lit) {
        painter.setBrush(litFace(face));
        painter.drawRoundedRect(face, radius, radius);
        // A soft diagonal sheen across the upper half of the glass.
        QLinearGradient sheen(face.topLeft(), face.center());
        sheen.setColorAt(0, QColor(255, 255, 255, 70));
        sheen.setColorAt(1, QColor(255, 255, 255, 0));
        painter.setBrush(sheen);
        painter.drawRoundedRect(face, radius, radius);
    } else {
        painter.setBrush(kDarkFace);
        painter.drawRoundedRect(face, radius, radius);
    }
}

// The television of makes the system has no pictures for.
QImage drawTelevision(bool dark, bool lit) {
    QImage image(kArtSize, kArtSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor bezel = dark ? QColor(0x2b, 0x2e, 0x35) : QColor(0x1c, 0x1e, 0x22);
    const QColor rim = dark ? QColor(0x5a, 0x60, 0x6b) : QColor(0x9a, 0xa0, 0xaa);
    painter.setPen(QPen(rim, 4));
    painter.setBrush(bezel);
    const QRectF body(24, 96, 464, 276);
    painter.drawRoundedRect(body, 18, 18);
    paintFace(painter, body.adjusted(14, 14, -14, -14), 8, lit);
    painter.setPen(Qt::NoPen);
    painter.setBrush(rim);
    painter.drawRect(QRectF(236, 372, 40, 34));
    painter.drawRoundedRect(QRectF(156, 404, 200, 12), 6, 6);
    return image;
}

// A Mac the system has no picture for: a laptop.
QImage drawLaptop(bool dark) {
    QImage image(kArtSize, kArtSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor shell = dark ? QColor(0x4a, 0x4e, 0x56) : QColor(0x3a, 0x3d, 0x44);
    const QColor base = dark ? QColor(0xb4, 0xb8, 0xc0) : QColor(0xa8, 0xac, 0xb4);
    painter.setPen(Qt::NoPen);
    painter.setBrush(shell);
    const QRectF lid(88, 96, 336, 224);
    painter.drawRoundedRect(lid, 18, 18);
    paintFace(painter, lid.adjusted(12, 12, -12, -12), 8, true);
    painter.setBrush(base);
    painter.drawRoundedRect(QRectF(48, 324, 416, 24), 12, 12);
    return image;
}

}  // namespace

DeviceArtProvider::DeviceArtProvider(const TypeDatabase& types)
    : QQuickImageProvider(QQmlImageProviderBase::Image), types_(types) {}

QImage DeviceArtProvider::requestImage(const QString& id, QSize* size, const QSize& requestedSize) {
    const std::lock_guard lock(mutex_);
    const std::pair<QString, std::pair<int, int>> key{
        id, {requestedSize.width(), requestedSize.height()}};
    auto found = cache_.find(key);
    if (found == cache_.end()) {
        auto image = draw(id);
        ++drawn_;
        if (requestedSize.isValid() && !image.isNull()) {
            image = image.scaled(requestedSize, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        }
        found = cache_.emplace(key, std::move(image)).first;
    }
    if (size != nullptr) *size = found->second.size();
    return found->second;
}

int DeviceArtProvider::drawn() const {
    const std::lock_guard lock(mutex_);
    return drawn_;
}

QImage DeviceArtProvider::draw(const QString& id) const {
    const auto request = parse(id);
    if (!request) return {};
    const auto model = request->model.toStdString();
    if (request->kind == QLatin1String("mac")) {
        for (const auto& type : types_.types(model, kDeviceModelCodeTagClass)) {
            if (type.icon && wellFormed(*type.icon)) return fromArtwork(*type.icon, request->lit);
        }
        return drawLaptop(request->dark);
    }
    const auto kind = request->kind == QLatin1String("ipad")      ? DeviceKind::ipad
                      : request->kind == QLatin1String("appletv") ? DeviceKind::appletv
                                                                  : DeviceKind::tv;
    if (const auto artwork = systemArtwork(types_, kind, model); artwork && wellFormed(*artwork)) {
        return fromArtwork(*artwork, request->lit);
    }
    return drawTelevision(request->dark, request->lit);
}

void addDeviceArt(QQmlEngine& engine, const TypeDatabase& types) {
    engine.addImageProvider(QLatin1String(kDeviceArtProvider), new DeviceArtProvider(types));
}

}  // namespace kd
