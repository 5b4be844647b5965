#include <gtest/gtest.h>

#include <QQmlComponent>
#include <QQmlEngine>
#include <QSignalSpy>

#include "display/device_prefs.h"
#include "shell_harness.h"
#include "support/quick_items.h"
#include "ui/shell/shell_view_model.h"
#include "ui/shell/window_frame.h"

namespace kd {
namespace {

using namespace std::chrono_literals;

TEST(MainWindow, OpensAsBuiltWithTheDockViewsPlaceUnderTheTitleBarControls) {
    ShellHarness h;
    auto& window = h.launch();
    EXPECT_EQ(window.title(), "Kelvane Display");
    EXPECT_EQ(window.size(), QSize(476, 420));
    EXPECT_EQ(window.minimumSize(), QSize(420, 360));

    auto* controls = h.item("titleBarControls");
    auto* slot = h.item("dockView");
    ASSERT_TRUE(controls && slot);
    // In the content's coordinates, below the menu bar.
    auto* content = window.property("contentItem").value<QQuickItem*>();
    ASSERT_TRUE(content);
    const auto controlsRect = controls->mapRectToItem(content, controls->boundingRect());
    const auto slotRect = slot->mapRectToItem(content, slot->boundingRect());
    // Top right of the content, with the dock view filling what is below.
    EXPECT_LT(controlsRect.top(), 20);
    EXPECT_GT(controlsRect.right(), window.width() - 20);
    EXPECT_GE(slotRect.top(), controlsRect.bottom());
    EXPECT_EQ(slotRect.width(), content->width());
    EXPECT_EQ(slotRect.bottom(), content->height());
}

TEST(MainWindow, TheFrameComesBackWhereItWasLeftAndNeverBelowTheMinimum) {
    {
        ShellHarness h(defaultScenario(), {{kMainWindowFrameKey, "30 40 520 450"}});
        auto& window = h.launch();
        EXPECT_EQ(window.geometry(), QRect(30, 40, 520, 450));
        window.setGeometry(60, 70, 500, 440);
        window.close();
        EXPECT_EQ(h.dock.defaults.text(kMainWindowFrameKey), "60 70 500 440");
    }
    ShellHarness shrunk(defaultScenario(), {{kMainWindowFrameKey, "30 40 100 100"}});
    EXPECT_EQ(shrunk.launch().size(), QSize(420, 360));
}

TEST(MainWindow, ClosingItQuitsUnlessTheVirtualDisplayRunsAndTheTrayBringsItBack) {
    ShellHarness h;
    auto& window = h.launch();
    h.virtualHost.start();
    h.advance(5s);
    ASSERT_TRUE(h.virtualHost.isRunning());
    window.close();
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(h.quits, 0);

    h.delegate.reopen();
    EXPECT_TRUE(window.isVisible());
    h.virtualHost.stop();
    h.advance(5s);
    window.close();
    EXPECT_EQ(h.quits, 1);
}

TEST(MainWindow, RescanTurnsItsIconOnceAndRestartsTheScan) {
    ShellHarness h;
    h.launch();
    auto* rescan = h.item("rescanButton");
    auto* controls = h.item("titleBarControls");
    ASSERT_TRUE(rescan && controls);
    clickItem(*rescan);
    EXPECT_EQ(controls->property("rescanSpin").toDouble(), 360.0);
    EXPECT_TRUE(h.delegate.dock().scanner.scanning.get());
    clickItem(*rescan);
    EXPECT_EQ(controls->property("rescanSpin").toDouble(), 720.0);
}

TEST(MainWindow, TheGearAndTheSettingsMenuItemOpenTheSettingsPopover) {
    ShellHarness h;
    h.launch();
    auto* gear = h.item("settingsButton");
    auto* popover = h.delegate.window()->findChild<QObject*>("settingsPopover");
    ASSERT_TRUE(gear && popover);
    clickItem(*gear);
    EXPECT_TRUE(popover->property("visible").toBool());
    EXPECT_TRUE(h.item("soundSection") && h.item("accountSection") && h.item("updateControls"))
        << "the settings, the contact card and the updates, in one popover";
    clickItem(*gear);
    EXPECT_FALSE(popover->property("visible").toBool());

    h.delegate.shell().openSettings();
    h.advance(0ms);
    EXPECT_TRUE(popover->property("visible").toBool());
}

TEST(MainWindow, TheContactCardIsOfferedAMomentAfterTheFirstLaunchOnly) {
    ShellHarness first(defaultScenario(), {}, true);
    first.launch();
    auto* popover = first.delegate.window()->findChild<QObject*>("settingsPopover");
    ASSERT_TRUE(popover);
    EXPECT_TRUE(popover->property("visible").toBool());
    EXPECT_EQ(first.dock.defaults.boolValue(kAccountPromptedKey), true);

    ShellHarness later;
    later.launch();
    later.advance(5s);
    EXPECT_FALSE(later.delegate.window()
                     ->findChild<QObject*>("settingsPopover")
                     ->property("visible")
                     .toBool());
}

TEST(MainWindow, SupportShowsItsUnreadDotAndAWaitingConversationKeepsTheAppRunning) {
    ShellHarness h;
    auto& window = h.launch();
    QSignalSpy unreadChanges(&h.delegate.shell(), SIGNAL(unreadChanged()));
    h.delegate.support().unread.set(2);
    EXPECT_EQ(h.delegate.shell().unread(), 2);
    EXPECT_EQ(unreadChanges.count(), 1);

    h.dock.defaults.set(SupportConfig::tokenDefaultsKey, std::string("tk-1"));
    ASSERT_TRUE(h.delegate.support().isAwaitingReply());
    window.close();
    EXPECT_EQ(h.quits, 0) << "the answer would go unnoticed";
}

TEST(MainWindow, ItIsDraggedByItsBackgroundButNotByItsButtons) {
    ShellHarness h;
    auto& window = h.launch();
    QSignalSpy drags(&window, SIGNAL(backgroundDragStarted()));
    auto* gear = h.item("settingsButton");
    ASSERT_TRUE(gear);
    clickItem(*gear);
    EXPECT_EQ(drags.count(), 0);
    clickItem(*gear);  // closed again
    // The empty title row, left of its buttons.
    auto* controls = h.item("titleBarControls");
    ASSERT_TRUE(controls);
    const auto titleRow = controls->mapToScene(QPointF(-40, controls->height() / 2)).toPoint();
    QTest::mouseClick(&window, Qt::LeftButton, Qt::NoModifier, titleRow);
    EXPECT_EQ(drags.count(), 1);
}

TEST(MainWindow, ADockThatFitsLeavesItsBackgroundToMoveTheWindow) {
    ShellHarness h(macAlone());
    auto& window = h.launch();
    QSignalSpy drags(&window, SIGNAL(backgroundDragStarted()));
    QTest::mouseClick(&window, Qt::LeftButton, Qt::NoModifier, QPoint(12, window.height() - 12));
    EXPECT_EQ(drags.count(), 1);
}

TEST(MainWindow, ButtonsLightUpUnderTheMouseSoTheirHelpTextsShow) {
    ShellHarness h;
    auto& window = h.launch();
    auto* support = h.item("supportButton");
    ASSERT_TRUE(support);
    EXPECT_EQ(support->property("help").toString(), "Support \u2014 ask anything");
    QTest::mouseMove(&window, support->mapToScene({10, 10}).toPoint());
    EXPECT_TRUE(support->property("hovered").toBool());
}

// The title-bar controls alone, over a view model with an unread count.
class TitleBarControlsTest : public ::testing::Test {
  protected:
    TitleBarControlsTest() {
        engine_.addImportPath("qrc:/");
        QQmlComponent component(&engine_, QUrl("qrc:/Kd/Shell/TitleBarControls.qml"));
        controls_.reset(qobject_cast<QQuickItem*>(component.createWithInitialProperties(
            {{"shell", QVariant::fromValue(&shell_)}, {"theme", QVariant::fromValue(&theme_)}})));
        if (!controls_) ADD_FAILURE() << component.errorString().toStdString();
    }
    bool dotShown() { return controls_->findChild<QQuickItem*>("unreadDot")->isVisible(); }

    ShellHarness h_;
    Published<int> unread_{0};
    ShellViewModel shell_{h_.delegate.menuActions(), &unread_, {}, "1.2.3"};
    AppTheme theme_;
    QQmlEngine engine_;
    std::unique_ptr<QQuickItem> controls_;
};

TEST_F(TitleBarControlsTest, TheRedDotShowsWhileAReplyIsUnread) {
    ASSERT_TRUE(controls_);
    EXPECT_FALSE(dotShown());
    unread_.set(2);
    EXPECT_TRUE(dotShown());
    unread_.set(0);
    EXPECT_FALSE(dotShown());
}

TEST(MainWindow, TheIPadsRightArrowExtendsItToTheRightWithItsSoundAndCtrlRRescans) {
    ShellHarness h;
    auto& window = h.launch();
    auto* row = findItem(window.contentItem(), "deviceRow_sidecar");
    ASSERT_TRUE(row) << "the iPad is listed";
    ASSERT_TRUE(findItem(window.contentItem(),
                         "deviceRow_" + QString::fromStdString(h.device("Living Room").id)));
    auto* right = findItem(row, "placeRight");
    ASSERT_TRUE(right);
    clickItem(*right);
    h.advance(10s);

    EXPECT_EQ(h.delegate.dock().occupied.get().at("sidecar"), Side::right);
    EXPECT_EQ(findItem(row, "deviceSubtitle")->property("text").toString(),
              QString("Sidecar \u00B7 extended display"));
    const auto played = h.dock.mac.soundPlayer().played();
    ASSERT_FALSE(played.empty());
    EXPECT_TRUE(played.back().what.ends_with("/WaterBubble.aiff")) << "the default connect sound";

    h.advance(5s);
    QTest::keyClick(&window, Qt::Key_R, Qt::ControlModifier);
    EXPECT_TRUE(h.delegate.dock().scanner.scanning.get());
}

}  // namespace
}  // namespace kd
