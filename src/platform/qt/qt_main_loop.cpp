#include "platform/qt/qt_main_loop.h"

#include <QCoreApplication>
#include <QMetaObject>

#include <utility>

namespace kd {

MainLoopPoster qtMainLoopPoster() {
    return [](std::function<void()> fn) {
        if (QCoreApplication* app = QCoreApplication::instance()) {
            QMetaObject::invokeMethod(app, std::move(fn), Qt::QueuedConnection);
        }
    };
}

}  // namespace kd
