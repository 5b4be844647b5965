// The dock view's tests. With --screenshots FOLDER it writes pictures of the
// view instead, on a private X server.

#include <QtQml/qqmlextensionplugin.h>
#include <QGuiApplication>
#include <QTest>
#include <cstring>

#include "device_settings_test.h"
#include "dock_screenshots.h"
#include "dock_view_model_test.h"
#include "dock_view_test.h"

Q_IMPORT_QML_PLUGIN(Kd_DockPlugin)

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--screenshots") == 0) {
        int qtArgc = 1;
        return kd::writeDockScreenshots(qtArgc, argv, QString::fromLocal8Bit(argv[2]));
    }
    QGuiApplication app(argc, argv);
    int status = 0;
    kd::DockViewModelTest viewModels;
    status |= QTest::qExec(&viewModels, argc, argv);
    kd::DeviceSettingsTest deviceSettings;
    status |= QTest::qExec(&deviceSettings, argc, argv);
    kd::DockViewTest views;
    status |= QTest::qExec(&views, argc, argv);
    return status;
}
