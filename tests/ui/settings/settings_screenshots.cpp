// Pictures of the settings popover, one per section and scheme, drawn on a
// private Xvfb through xcb so that the glass renders as on a desktop.

#include <QDir>
#include <QGuiApplication>
#include <QImage>

#include "popover_host.h"
#include "popover_view_test.h"
#include "support/qt_on_xvfb.h"

namespace kd {

namespace {

bool shoot(const PopoverHost& host, const QString& path) {
    // The pointer away from the popover, so no row shows its hover.
    QTest::mouseMove(host.window(), QPoint(2, host.window()->height() - 2));
    if (!host.settle()) return false;
    const auto image = host.window()->grabWindow();
    return !image.isNull() && image.save(path);
}

}  // namespace

int writeSettingsScreenshots(int& argc, char** argv, const QString& folder) {
    testing::XvfbServer xvfb(360, 1000);
    if (!testing::drawOnXvfb(xvfb)) return 77;
    QGuiApplication app(argc, argv);
    QDir().mkpath(folder);

    const struct {
        const char* name;
        const char* picker;
    } sections[] = {{"sound", "sectionSound"}, {"theme", "sectionTheme"}, {"mac", "sectionMac"}};
    for (const bool dark : {false, true}) {
        const QString scheme = dark ? QStringLiteral("dark") : QStringLiteral("light");
        SettingsFixture f;
        PopoverHost host(f, dark);
        for (const auto& section : sections) {
            if (!host.click(QString::fromLatin1(section.picker))) return 1;
            const auto path = folder + "/settings-" + section.name + "-" + scheme + ".png";
            if (!shoot(host, path)) return 1;
        }
        // The card once registered, with an update check that failed.
        f.account->registerCard("Ada", "Lane", "ada@example.com", "GB");
        f.updates->checkForUpdates();
        f.advance(std::chrono::seconds(1));
        if (!host.click(QStringLiteral("sectionSound"))) return 1;
        if (!shoot(host, folder + "/settings-card-" + scheme + ".png")) return 1;
        // In a window of the main window's size the popover scrolls.
        host.window()->resize(476, 420);
        QMetaObject::invokeMethod(host.popover(), "close");
        QMetaObject::invokeMethod(host.popover(), "open");
        if (!shoot(host, folder + "/settings-in-window-" + scheme + ".png")) return 1;
        // Asked for the card: the form again, scrolled to.
        f.account->edit();
        QMetaObject::invokeMethod(host.popover(), "close");
        QMetaObject::invokeMethod(host.popover(), "showAccount");
        if (!shoot(host, folder + "/settings-asked-for-card-" + scheme + ".png")) return 1;
    }
    return 0;
}

}  // namespace kd
