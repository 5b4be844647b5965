// The settings popover's tests. With --screenshots FOLDER it writes
// pictures of the popover instead, on a private X server.

#include <QtQml/qqmlextensionplugin.h>
#include <QGuiApplication>
#include <QTest>
#include <cstring>

#include "popover_view_test.h"
#include "view_model_tests.h"

Q_IMPORT_QML_PLUGIN(Kd_SettingsPlugin)

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--screenshots") == 0) {
        int qtArgc = 1;
        return kd::writeSettingsScreenshots(qtArgc, argv, QString::fromLocal8Bit(argv[2]));
    }
    QGuiApplication app(argc, argv);
    int status = 0;
    kd::SettingsViewModelTest settings;
    status |= QTest::qExec(&settings, argc, argv);
    kd::UpdatesViewModelTest updates;
    status |= QTest::qExec(&updates, argc, argv);
    kd::AccountViewModelTest account;
    status |= QTest::qExec(&account, argc, argv);
    kd::PopoverViewTest views;
    status |= QTest::qExec(&views, argc, argv);
    return status;
}
