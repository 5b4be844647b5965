find_package(Threads REQUIRED)
find_package(nlohmann_json 3.11 REQUIRED)
find_package(GTest REQUIRED)
find_package(PkgConfig REQUIRED)
pkg_check_modules(ICU REQUIRED IMPORTED_TARGET icu-uc icu-i18n)
pkg_check_modules(PLIST REQUIRED IMPORTED_TARGET libplist-2.0)
pkg_check_modules(CURL REQUIRED IMPORTED_TARGET libcurl)
pkg_check_modules(LIBXML2 REQUIRED IMPORTED_TARGET libxml-2.0)
pkg_check_modules(AVAHI REQUIRED IMPORTED_TARGET avahi-client)
pkg_check_modules(SNDFILE REQUIRED IMPORTED_TARGET sndfile)
pkg_check_modules(PULSE REQUIRED IMPORTED_TARGET libpulse)
pkg_check_modules(TURBOJPEG REQUIRED IMPORTED_TARGET libturbojpeg)
pkg_check_modules(QRENCODE REQUIRED IMPORTED_TARGET libqrencode)
pkg_check_modules(XCB REQUIRED IMPORTED_TARGET xcb xcb-shm xcb-damage xcb-xfixes)
pkg_check_modules(SYSTEMD REQUIRED IMPORTED_TARGET libsystemd)
# Debian ships libyuv without a pkg-config file.
find_path(YUV_INCLUDE_DIR libyuv.h REQUIRED)
find_library(YUV_LIBRARY yuv REQUIRED)
add_library(Yuv::yuv UNKNOWN IMPORTED)
set_target_properties(Yuv::yuv PROPERTIES IMPORTED_LOCATION ${YUV_LIBRARY}
  INTERFACE_INCLUDE_DIRECTORIES ${YUV_INCLUDE_DIR})
# Standalone Asio is header only.
find_path(ASIO_INCLUDE_DIR asio.hpp REQUIRED)
add_library(Asio::asio INTERFACE IMPORTED)
set_target_properties(Asio::asio PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${ASIO_INCLUDE_DIR}
  INTERFACE_COMPILE_DEFINITIONS "ASIO_STANDALONE;ASIO_NO_DEPRECATED")
# The thread sanitizer models no fences (GCC refuses them under it); Asio's
# fenced blocks only add fences beside the locks its queues take anyway.
if(KD_SANITIZE MATCHES "thread")
  set_property(TARGET Asio::asio APPEND PROPERTY INTERFACE_COMPILE_DEFINITIONS
    ASIO_DISABLE_FENCED_BLOCK)
endif()
if(NOT KD_THREADED_ONLY)
  find_package(Qt6 REQUIRED COMPONENTS Core Gui Widgets Qml Quick QuickControls2 Test)
  # Where qmllint and the tests find our QML modules.
  set(QT_QML_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/qml)
endif()
