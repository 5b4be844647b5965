#pragma once

// Text from the controllers, which keep UTF-8, for Qt.

#include <QString>
#include <string>

namespace kd {

inline QString qtText(const std::string& value) {
    return QString::fromStdString(value);
}

}  // namespace kd
