#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QQmlListReference>

#include "shell_harness.h"
#include "ui/shell/qt_appearance.h"

namespace kd {
namespace {

using namespace std::chrono_literals;

// Saves the window as it is drawn now under `name`.png in the build folder,
// for a person to look at; checks only that something was drawn.
void shoot(QQuickWindow& window, const QString& name) {
    QCoreApplication::processEvents();
    const QImage image = window.grabWindow();
    ASSERT_FALSE(image.isNull()) << name.toStdString();
    QDir().mkpath(KD_SCREENSHOTS_DIR);
    const auto path = QString(KD_SCREENSHOTS_DIR) + "/" + name + ".png";
    ASSERT_TRUE(image.save(path)) << path.toStdString();
    // A window drawn all in one colour drew nothing of its own.
    const QRgb first = image.pixel(0, 0);
    bool varied = false;
    for (int y = 0; y < image.height() && !varied; y += 7) {
        for (int x = 0; x < image.width() && !varied; x += 7) varied = image.pixel(x, y) != first;
    }
    EXPECT_TRUE(varied) << path.toStdString();
}

class Screenshots : public ::testing::TestWithParam<bool> {
  protected:
    Screenshots() : appearance_(h.theme, [] { return false; }) {
        appearance_.setAppearance(dark() ? AppearanceName::dark : AppearanceName::light);
        window = &h.launch();
    }
    bool dark() const { return GetParam(); }
    QString named(const char* what) const { return QString(what) + (dark() ? "-dark" : "-light"); }

    ShellHarness h;
    QtAppearance appearance_;
    QQuickWindow* window = nullptr;
};

TEST_P(Screenshots, TheMainWindow) {
    shoot(*window, named("main"));
}

TEST_P(Screenshots, TheSettingsPopover) {
    h.delegate.shell().openSettings();
    h.advance(0ms);
    shoot(*window, named("settings"));
}

TEST_P(Screenshots, TheDisplayMenu) {
    auto* menuBar = window->findChild<QObject*>("menuBar");
    ASSERT_TRUE(menuBar);
    QQmlListReference menus(menuBar, "menus");
    ASSERT_GE(menus.count(), 3);
    QMetaObject::invokeMethod(menus.at(2), "open");
    shoot(*window, named("display-menu"));
}

TEST_P(Screenshots, TheAboutPanel) {
    auto* about = window->findChild<QObject*>("aboutDialog");
    ASSERT_TRUE(about);
    QMetaObject::invokeMethod(about, "open");
    shoot(*window, named("about"));
}

INSTANTIATE_TEST_SUITE_P(Themes, Screenshots, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Dark" : "Light"; });

}  // namespace
}  // namespace kd
