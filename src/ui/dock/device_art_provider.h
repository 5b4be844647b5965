#pragma once

// Pictures of devices for the main window, served to QML as
// "image://devices/<dark|light>/<kind>/<lit|off>/<model>", where kind is
// "ipad", "appletv", "tv" or "mac". iPads, Apple TVs and Macs come from the
// system's own artwork with their screen repainted dark or lit; a television,
// or a model the system has no artwork for, is drawn here. Each picture is
// made once per id and size.
//
// Contract: requestImage may be called from QML's image loading threads; the
// type database answers from any thread and must outlive the provider.

#include <QImage>
#include <QQuickImageProvider>
#include <map>
#include <mutex>
#include <utility>

#include "platform/type_database.h"

class QQmlEngine;

namespace kd {

inline constexpr const char* kDeviceArtProvider = "devices";

class DeviceArtProvider : public QQuickImageProvider {
  public:
    explicit DeviceArtProvider(const TypeDatabase& types);
    QImage requestImage(const QString& id, QSize* size, const QSize& requestedSize) override;

    // How many pictures were drawn rather than taken from the cache.
    int drawn() const;

  private:
    QImage draw(const QString& id) const;

    const TypeDatabase& types_;
    mutable std::mutex mutex_;
    std::map<std::pair<QString, std::pair<int, int>>, QImage> cache_;
    int drawn_ = 0;
};

// Gives `engine` the device pictures; the engine owns the provider.
void addDeviceArt(QQmlEngine& engine, const TypeDatabase& types);

}  // namespace kd
