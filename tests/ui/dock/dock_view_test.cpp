#include "dock_view_test.h"

#include <QTest>

#include "display/device_prefs.h"
#include "dock_fixture.h"

namespace kd {

namespace {

using namespace std::chrono_literals;

// Drags `tile` by (dx, dy) with the mouse, in steps as a hand would.
void dragBy(QQuickView& view, QQuickItem* tile, double dx, double dy) {
    const auto from = tile->mapToScene(QPointF(tile->width() / 2, tile->height() / 2)).toPoint();
    QTest::mousePress(&view, Qt::LeftButton, {}, from);
    for (int step = 1; step <= 4; ++step) {
        QTest::mouseMove(
            &view, from + QPoint(static_cast<int>(dx * step / 4), static_cast<int>(dy * step / 4)));
    }
    QTest::mouseRelease(&view, Qt::LeftButton, {},
                        from + QPoint(static_cast<int>(dx), static_cast<int>(dy)));
}

}  // namespace

void DockViewTest::aRowsButtonsCallTheController() {
    DockFixture f;
    DockViewWindow window(f);
    QVERIFY(window.ready());
    auto* right = window.item("deviceRow_sidecar", "placeRight");
    QVERIFY(right != nullptr);
    QCOMPARE(right->property("helpText").toString(), QString("Extend to the right"));
    window.click(right);
    QCOMPARE(f.state().busyKey.get(), std::optional<std::string>("sidecar"));
    // Every arrow waits while a flow runs.
    QVERIFY(!right->isEnabled());
    f.advance(10s);
    QVERIFY(right->isEnabled());
    QCOMPARE(f.state().occupied.get().at("sidecar"), Side::right);
    QCOMPARE(window.item("deviceRow_sidecar", "deviceSubtitle")->property("text").toString(),
             QString("Sidecar \u00B7 extended display"));

    window.click(window.item("deviceRow_sidecar", "duplicate"));
    QCOMPARE(f.state().status.get(), "Mirroring\u2026");
    f.advance(5s);
    QVERIFY(f.state().mirroredKeys.get().contains("sidecar"));

    window.click(window.item("deviceRow_sidecar", "disconnect"));
    QCOMPARE(f.state().status.get(), "Disconnecting\u2026");
    f.advance(10s);
    QVERIFY(!f.state().connectedKeys.get().contains("sidecar"));
}

void DockViewTest::aHeldSideShowsWhoHoldsIt() {
    DockFixture f;
    f.plugInVirtualDisplay();
    DockViewWindow window(f);
    QVERIFY(window.ready());
    auto* right = window.item("deviceRow_sidecar", "placeRight");
    QCOMPARE(right->property("helpText").toString(),
             QString("the virtual display is already there"));
    window.click(right);
    QCOMPARE(window.item("statusText")->property("text").toString(),
             QString("the virtual display is already there"));
    QVERIFY(!f.state().busy.get());
}

void DockViewTest::theEmptyStates() {
    DockFixture f(scenarioWithoutDevices());
    DockViewWindow window(f);
    QVERIFY(window.ready());
    auto* looking = window.item("lookingForDevices");
    auto* nothing = window.item("noDevicesFound");
    QVERIFY(looking->isVisible());
    QVERIFY(!nothing->isVisible());

    f.advance(kScanWindow);
    QVERIFY(!looking->isVisible());
    QVERIFY(nothing->isVisible());
    QVERIFY(window.item("noDevicesHint")
                ->property("text")
                .toString()
                .startsWith("An iPad needs the same Apple Account"));

    window.click(window.item("searchAgain"));
    QVERIFY(looking->isVisible());
    f.advance(kScanWindow - 1s);
    QVERIFY(looking->isVisible());
    f.advance(2s);
    QVERIFY(nothing->isVisible());
}

void DockViewTest::draggingATileAboveTheMacPutsItOnTop() {
    DockFixture f;
    f.viewModel->place("sidecar", "right");
    f.advance(10s);
    DockViewWindow window(f);
    QVERIFY(window.ready());
    auto* tile = window.item("screenTile_sidecar");
    auto* mac = window.item("macTile");
    QVERIFY(tile != nullptr && mac != nullptr);
    // Centre the tile over the Mac's, then lift it until its centre is above the Mac.
    const double dx = mac->x() + mac->width() / 2 - (tile->x() + tile->width() / 2);
    const double dy = mac->y() - (tile->y() + tile->height() / 2) - 2;
    dragBy(window.view(), tile, dx, dy);
    QCOMPARE(f.state().status.get(), "Moving\u2026");
    f.advance(5s);
    QCOMPARE(f.state().occupied.get().at("sidecar"), Side::top);
    // Let go, the tile goes back to where the map puts it.
    QCOMPARE(tile->property("offsetX").toDouble(), 0.0);
}

void DockViewTest::draggingATileAcrossTheMacsTopEdgeKeepsItBeside() {
    DockFixture f;
    f.viewModel->place("sidecar", "right");
    f.advance(10s);
    DockViewWindow window(f);
    QVERIFY(window.ready());
    auto* tile = window.item("screenTile_sidecar");
    auto* mac = window.item("macTile");
    // Its centre a little below the Mac's top edge: it overlaps the edge.
    const double dy = mac->y() + 3 - (tile->y() + tile->height() / 2);
    dragBy(window.view(), tile, 0, dy);
    f.advance(5s);
    QCOMPARE(f.state().occupied.get().at("sidecar"), Side::right);
    QCOMPARE(savedSide(f.harness.defaults, "sidecar"), Side::right);

    // This Mac's own screen stays where it is.
    dragBy(window.view(), mac, 0, -mac->height());
    QVERIFY(!f.state().busy.get());
    QCOMPARE(f.state().status.get(), "");
}

void DockViewTest::theAccessibilityBannerOpensItsSettings() {
    auto scenario = defaultScenario();
    scenario.accessibilityTrusted = false;
    DockFixture f(scenario);
    DockViewWindow window(f);
    QVERIFY(window.ready());
    QVERIFY(window.item("accessibilityBanner")->isVisible());
    window.click(window.item("openAccessibilitySettings"));
    QCOMPARE(f.harness.mac.urlOpener().opened(),
             std::vector<std::string>{kAccessibilitySettingsURL});
    f.harness.mac.accessibility().setTrusted(true);
    f.advance(kAccessibilityCheckInterval);
    QVERIFY(!window.item("accessibilityBanner")->isVisible());
}

void DockViewTest::aFailedModeSwitchKeepsTheCheckMark() {
    DockFixture f;
    DockViewWindow window(f);
    QVERIFY(window.ready());
    window.click(window.item("macModes"));
    QVERIFY(window.settle());
    auto* popover = window.view().rootObject()->findChild<QObject*>("macModesPopover");
    QVERIFY(popover != nullptr);
    QVERIFY(popover->property("opened").toBool());
    auto* inUse = window.item("mode_5");
    QVERIFY(findItem(inUse, "checkCircle")->property("filled").toBool());

    f.harness.mac.windowServer().failNextBegin(1001);
    window.click(window.item("mode_3"));
    f.advance(1s);
    QCOMPARE(window.item("macModesStatus")->property("text").toString(),
             QString("Couldn't switch mode"));
    QVERIFY(findItem(window.item("mode_5"), "checkCircle")->property("filled").toBool());
    QVERIFY(!findItem(window.item("mode_3"), "checkCircle")->property("filled").toBool());

    // The gear closes what it opened.
    window.click(window.item("macModes"));
    QTRY_VERIFY(!popover->property("visible").toBool());
}

void DockViewTest::aRowsGearOpensItsDisplaySettings() {
    DockFixture f;
    DockViewWindow window(f);
    QVERIFY(window.ready());
    auto* popover = window.view().rootObject()->findChild<QObject*>("deviceSettingsPopover");
    window.click(window.item("deviceRow_sidecar", "displaySettings"));
    QVERIFY(window.settle());
    QVERIFY(popover->property("opened").toBool());
    QVERIFY(window.item("size_0") != nullptr);
    QCOMPARE(window.item("sizeSource")->property("text").toString(),
             QString("Reported by Sidecar"));
    QVERIFY(findItem(window.item("automaticSize"), "checkCircle")->property("filled").toBool());

    window.click(window.item("size_0"));
    QVERIFY(findItem(window.item("size_0"), "checkCircle")->property("filled").toBool());
    QVERIFY(window.item("settingsNote")->property("text").toString().startsWith("Saved"));
    window.click(window.item("openDisplaySettings"));
    QCOMPARE(f.harness.mac.urlOpener().opened(), std::vector<std::string>{kDisplaysSettingsURL});

    // The same gear closes it.
    window.click(window.item("deviceRow_sidecar", "displaySettings"));
    QTRY_VERIFY(!popover->property("visible").toBool());
}

void DockViewTest::theStatusLineOffersDisplaysSettingsAndListsWarnings() {
    DockFixture f;
    DockViewWindow window(f);
    QVERIFY(window.ready());
    auto* offer = window.item("openDisplaysSettings");
    QVERIFY(!offer->isVisible());
    const auto tv = f.harness.device("Living Room");
    f.state().say("Living Room connected, but no screen came up", &tv, true);
    f.state().warnings.set({"Wi-Fi is off", "Bluetooth is off"});
    QVERIFY(offer->isVisible());
    QVERIFY(window.settle());
    window.click(offer);
    QCOMPARE(f.harness.mac.urlOpener().opened(), std::vector<std::string>{kDisplaysSettingsURL});
    QStringList warnings;
    for (auto* item : findItems(window.view().rootObject(), "warningText")) {
        warnings << item->property("text").toString();
    }
    QCOMPARE(warnings, (QStringList{"Wi-Fi is off", "Bluetooth is off"}));

    // A later message without the offer takes the button away.
    f.state().say("Moving\u2026");
    QVERIFY(!offer->isVisible());
}

}  // namespace kd
