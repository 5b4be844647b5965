#include <gtest/gtest.h>

#include <QAction>
#include <QQmlListReference>

#include "display/device_prefs.h"
#include "shell_harness.h"
#include "support/golden.h"

namespace kd {
namespace {

using namespace std::chrono_literals;

// The menu bar as text: each menu's title, then its items indented, with
// their keys in brackets, "(disabled)" and "---" for separators.
std::string menuBarText(QObject& menuBar) {
    std::string text;
    QQmlListReference menus(&menuBar, "menus");
    for (qsizetype m = 0; m < menus.count(); ++m) {
        QObject* menu = menus.at(m);
        text += menu->property("title").toString().toStdString() + "\n";
        const int count = menu->property("count").toInt();
        for (int i = 0; i < count; ++i) {
            QQuickItem* item = nullptr;
            QMetaObject::invokeMethod(menu, "itemAt", Q_RETURN_ARG(QQuickItem*, item),
                                      Q_ARG(int, i));
            if (!item) continue;
            if (QString(item->metaObject()->className()).contains("MenuSeparator")) {
                text += "  ---\n";
                continue;
            }
            text += "  " + item->property("text").toString().toStdString();
            const auto* action = item->property("action").value<QObject*>();
            const auto keys = action ? action->property("shortcut").toString() : QString();
            if (!keys.isEmpty()) text += "  [" + keys.toStdString() + "]";
            if (!item->property("enabled").toBool()) text += "  (disabled)";
            text += "\n";
        }
    }
    return text;
}

class Menus : public ::testing::Test {
  protected:
    explicit Menus(Scenario scenario = defaultScenario()) : h(std::move(scenario)) {
        window = &h.launch();
        window->requestActivate();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window));
    }
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::ControlModifier) {
        QTest::keyClick(window, key, modifiers);
    }

    ShellHarness h;
    QQuickWindow* window = nullptr;
};

class MenusWithoutDevices : public Menus {
  protected:
    MenusWithoutDevices() : Menus(macAlone()) {}
};

TEST_F(Menus, TheMenuBarIsTheTableWithTheMirrorHoldingCtrlM) {
    auto* menuBar = h.delegate.window()->findChild<QObject*>("menuBar");
    ASSERT_TRUE(menuBar);
    EXPECT_EQ(menuBarText(*menuBar), testing::golden("ui/shell/golden/menus.txt"));
}

TEST_F(MenusWithoutDevices, DeviceItemsOnlyBeepWhenThereIsNoDevice) {
    press(Qt::Key_Left);
    press(Qt::Key_M);
    press(Qt::Key_W, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(h.beeps, 3);
    EXPECT_FALSE(h.delegate.dock().busy.get());
    EXPECT_EQ(h.delegate.dock().status.get(), "");
}

TEST_F(Menus, KeysReachTheCurrentDevice) {
    auto& dock = h.delegate.dock();
    const auto iPad = h.device("Studio iPad");
    press(Qt::Key_Right);
    h.advance(10s);
    EXPECT_EQ(dock.occupied.get(), (std::map<std::string, Side>{{iPad.id, Side::right}}));
    // Connected now, so disconnecting has something to act on.
    press(Qt::Key_W, Qt::ControlModifier | Qt::ShiftModifier);
    h.advance(10s);
    EXPECT_FALSE(dock.connectedKeys.get().contains(iPad.id));
    EXPECT_EQ(h.beeps, 0);

    press(Qt::Key_R);
    EXPECT_TRUE(dock.scanner.scanning.get());
}

TEST_F(Menus, WithTwoConnectedTheMenuActsOnTheOneConnectedLast) {
    auto& dock = h.delegate.dock();
    const auto iPad = h.device("Studio iPad");
    const auto tv = h.device("Living Room");
    dock.connect(iPad, Side::left);
    h.advance(10s);
    dock.connect(tv, Side::right);
    h.advance(20s);
    ASSERT_EQ(dock.connectedKeys.get(), (std::set<std::string>{iPad.id, tv.id}));
    EXPECT_EQ(h.delegate.menuActions().currentDevice(), tv);
    press(Qt::Key_W, Qt::ControlModifier | Qt::ShiftModifier);
    h.advance(20s);
    EXPECT_EQ(dock.connectedKeys.get(), (std::set<std::string>{iPad.id}));
}

TEST_F(Menus, HelpPrivacyAndTheAboutPanelsLinkOpenTheirPagesThroughTheSystem) {
    h.delegate.shell().openHelp();
    h.delegate.shell().openPrivacy();
    h.delegate.shell().openProductPage();
    EXPECT_EQ(
        h.dock.mac.urlOpener().opened(),
        (std::vector<std::string>{kHelpPageAddress, kPrivacyPageAddress, kProductPageAddress}));
}

std::vector<std::string> trayTexts(QMenu& menu) {
    std::vector<std::string> texts;
    for (const auto* action : menu.actions()) {
        texts.push_back(action->isSeparator() ? "---" : action->text().toStdString());
    }
    return texts;
}

TEST_F(Menus, TheTrayMenuIsBuiltAfreshEachTimeItOpens) {
    auto& tray = h.delegate.tray();
    auto& menu = tray.menu();
    emit menu.aboutToShow();
    EXPECT_EQ(trayTexts(menu),
              (std::vector<std::string>{"Connect Studio iPad", "Connect Living Room", "---",
                                        "Add Virtual Display"}));
    // A device item connects where the device was placed last time.
    saveSide(h.dock.defaults, Side::left, h.device("Studio iPad").id);
    menu.actions().front()->trigger();
    h.advance(10s);
    EXPECT_EQ(h.delegate.dock().occupied.get(),
              (std::map<std::string, Side>{{h.device("Studio iPad").id, Side::left}}));
    emit menu.aboutToShow();
    EXPECT_EQ(trayTexts(menu).front(), "Disconnect Studio iPad");
}

}  // namespace
}  // namespace kd
