#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>

#include "display/device_prefs.h"
#include "display/modes.h"
#include "dock_fixture.h"
#include "dock_view_model_test.h"
#include "platform/sim/sim_type_database.h"
#include "ui/dock/dock_texts.h"

namespace kd {

namespace {

using namespace std::chrono_literals;

QVariant roleOf(QAbstractItemModel& model, int row, int role) {
    return model.data(model.index(row, 0), role);
}

int rowOf(DeviceListModel& model, const QString& key) {
    for (int row = 0; row < model.rowCount(); ++row) {
        if (roleOf(model, row, DeviceListModel::DeviceKeyRole) == key) return row;
    }
    return -1;
}

QStringList keysOf(DeviceListModel& model) {
    QStringList keys;
    for (int row = 0; row < model.rowCount(); ++row) {
        keys << roleOf(model, row, DeviceListModel::DeviceKeyRole).toString();
    }
    return keys;
}

DeviceRow rowFor(const QString& key, const QString& name) {
    DeviceRow row;
    row.deviceKey = key;
    row.name = name;
    return row;
}

struct ModelTesters {
    explicit ModelTesters(DockViewModel& viewModel)
        : devices(viewModel.devices(), QAbstractItemModelTester::FailureReportingMode::QtTest),
          tiles(viewModel.screenMap(), QAbstractItemModelTester::FailureReportingMode::QtTest) {}
    QAbstractItemModelTester devices;
    QAbstractItemModelTester tiles;
};

}  // namespace

void DockViewModelTest::rowTexts() {
    const std::string dot = " \u00B7 ";
    QCOMPARE(deviceSubtitle(DeviceKind::ipad, false, false), "Sidecar");
    QCOMPARE(deviceSubtitle(DeviceKind::appletv, true, true),
             "Apple TV" + dot + "AirPlay" + dot + "mirrored display");
    QCOMPARE(deviceSubtitle(DeviceKind::tv, true, false),
             "TV" + dot + "AirPlay" + dot + "extended display");
    QCOMPARE(deviceSubtitle(DeviceKind::tv, false, true), "TV" + dot + "AirPlay");

    QCOMPARE(placementHelp(Side::left, std::nullopt), "Extend to the left");
    QCOMPARE(placementHelp(Side::top, std::nullopt), "Extend upward");
    QCOMPARE(placementHelp(Side::right, std::nullopt), "Extend to the right");
    QCOMPARE(placementHelp(Side::right, std::string("Living Room")),
             "Living Room is already there");

    QCOMPARE(displaySettingsHelp(std::nullopt, "Studio iPad"),
             "Resolution, refresh rate and HDR for this device");
    QCOMPARE(
        displaySettingsHelp(ModePref{2732, 2048, true, 60}, "Studio iPad"),
        "2732 \u00D7 2048 HiDPI" + dot + "60 Hz pinned for Studio iPad \u2014 click to change");
    // A refresh rate below 1 Hz is no rate at all.
    QCOMPARE(displaySettingsHelp(ModePref{1920, 1080, false, 0}, "Den"),
             "1920 \u00D7 1080 pinned for Den \u2014 click to change");
}

void DockViewModelTest::rowsFollowTheControllerWithExactChanges() {
    DockFixture f;
    ModelTesters testers(*f.viewModel);
    auto& devices = *f.viewModel->devices();
    QCOMPARE(keysOf(devices).size(), 2);
    const int iPad = rowOf(devices, "sidecar");
    QVERIFY(iPad >= 0);
    QCOMPARE(roleOf(devices, iPad, DeviceListModel::SubtitleRole).toString(), "Sidecar");
    QCOMPARE(roleOf(devices, iPad, DeviceListModel::ArtworkRole).toString(), "ipad/off/iPad16,6");

    QSignalSpy changes(&devices, &QAbstractItemModel::dataChanged);
    QSignalSpy resets(&devices, &QAbstractItemModel::modelReset);
    QSignalSpy removals(&devices, &QAbstractItemModel::rowsRemoved);
    QSignalSpy busy(f.viewModel.get(), &DockViewModel::busyChanged);
    f.viewModel->place("sidecar", "right");
    QVERIFY(f.viewModel->busy());
    QCOMPARE(busy.count(), 1);
    QCOMPARE(f.viewModel->status(), QString("Connecting to Studio iPad\u2026"));
    QVERIFY(roleOf(devices, iPad, DeviceListModel::BusyRole).toBool());
    // Only the iPad's row was told, and only that it is busy.
    QCOMPARE(changes.count(), 1);
    QCOMPARE(changes[0][0].value<QModelIndex>().row(), iPad);
    QCOMPARE(changes[0][2].value<QList<int>>(), QList<int>{DeviceListModel::BusyRole});

    f.advance(10s);
    QVERIFY(!f.viewModel->busy());
    QVERIFY(roleOf(devices, iPad, DeviceListModel::ConnectedRole).toBool());
    QCOMPARE(roleOf(devices, iPad, DeviceListModel::SubtitleRole).toString(),
             QString("Sidecar \u00B7 extended display"));
    QCOMPARE(roleOf(devices, iPad, DeviceListModel::ArtworkRole).toString(), "ipad/lit/iPad16,6");
    // The television's arrows now know who holds the right.
    const int tv = rowOf(devices, keysOf(devices)[1 - iPad]);
    QCOMPARE(roleOf(devices, tv, DeviceListModel::RightHelpRole).toString(),
             QString("Studio iPad is already there"));
    QCOMPARE(roleOf(devices, iPad, DeviceListModel::RightHelpRole).toString(),
             QString("Extend to the right"));
    QCOMPARE(resets.count(), 0);
    QCOMPARE(removals.count(), 0);

    auto& map = *f.viewModel->screenMap();
    f.viewModel->resizeMap(400, 120);
    QCOMPARE(map.rowCount(), 2);
    QCOMPARE(roleOf(map, 1, ScreenMapModel::NameRole).toString(), "Studio iPad");
    QCOMPARE(roleOf(map, 1, ScreenMapModel::DeviceKeyRole).toString(), "sidecar");
    QVERIFY(roleOf(map, 0, ScreenMapModel::BuiltInRole).toBool());
    QVERIFY(roleOf(map, 1, ScreenMapModel::TileXRole).toInt() >
            roleOf(map, 0, ScreenMapModel::TileXRole).toInt());
}

// The arrows promise "… is already there" when a side is held; they must
// not connect to it anyway.
void DockViewModelTest::anArrowToAHeldSideSaysWhoHoldsIt() {
    DockFixture f;
    ModelTesters testers(*f.viewModel);
    f.plugInVirtualDisplay();
    auto& devices = *f.viewModel->devices();
    const int iPad = rowOf(devices, "sidecar");
    QCOMPARE(roleOf(devices, iPad, DeviceListModel::RightHelpRole).toString(),
             QString("the virtual display is already there"));
    QCOMPARE(roleOf(devices, iPad, DeviceListModel::LeftHelpRole).toString(),
             QString("Extend to the left"));

    f.viewModel->place("sidecar", "right");
    QCOMPARE(f.viewModel->status(), QString("the virtual display is already there"));
    QVERIFY(!f.viewModel->busy());
    f.advance(10s);
    QVERIFY(!f.state().connectedKeys.get().contains("sidecar"));
    QCOMPARE(savedSide(f.harness.defaults, "sidecar"), std::nullopt);
}

void DockViewModelTest::aPinnedModeShowsInTheSettingsHelp() {
    DockFixture f;
    savePref(f.harness.defaults, ModePref{2732, 2048, true, 60}, "sidecar");
    f.viewModel->place("sidecar", "left");  // any change of the row reads the pin again
    auto& devices = *f.viewModel->devices();
    QCOMPARE(
        roleOf(devices, rowOf(devices, "sidecar"), DeviceListModel::SettingsHelpRole).toString(),
        QString("2732 \u00D7 2048 HiDPI \u00B7 60 Hz pinned for Studio iPad \u2014 click to "
                "change"));
}

void DockViewModelTest::anEmptyListSearchesThenOffersToSearchAgain() {
    DockFixture f(scenarioWithoutDevices());
    ModelTesters testers(*f.viewModel);
    QCOMPARE(f.viewModel->devices()->count(), 0);
    QVERIFY(f.viewModel->scanning());
    QSignalSpy scanning(f.viewModel.get(), &DockViewModel::scanningChanged);
    f.advance(kScanWindow);
    QVERIFY(!f.viewModel->scanning());
    f.viewModel->rescan();
    QVERIFY(f.viewModel->scanning());
    QCOMPARE(scanning.count(), 2);
    QVERIFY(!f.viewModel->accessibilityBannerShown());  // nothing needs the menu
}

void DockViewModelTest::theAccessibilityBannerGoesOnceAllowed() {
    auto scenario = defaultScenario();
    scenario.accessibilityTrusted = false;
    DockFixture f(scenario);
    QVERIFY(f.viewModel->accessibilityBannerShown());
    QSignalSpy banner(f.viewModel.get(), &DockViewModel::accessibilityBannerShownChanged);

    // Asked again every 1.5 s, not at every turn of the event loop.
    f.harness.mac.accessibility().setTrusted(true);
    QVERIFY(f.viewModel->accessibilityBannerShown());
    f.advance(kAccessibilityCheckInterval);
    QVERIFY(!f.viewModel->accessibilityBannerShown());
    QCOMPARE(banner.count(), 1);
    // Checked quietly: the system's prompt belongs to a connect.
    QCOMPARE(f.harness.mac.accessibility().promptsShown(), 0);

    // Once given, the banner never comes back.
    f.harness.mac.accessibility().setTrusted(false);
    f.advance(5s);
    QVERIFY(!f.viewModel->accessibilityBannerShown());

    f.viewModel->openAccessibilitySettings();
    f.viewModel->openDisplaySettings();
    QCOMPARE(f.harness.mac.urlOpener().opened(),
             (std::vector<std::string>{kAccessibilitySettingsURL, kDisplaysSettingsURL}));
}

void DockViewModelTest::rowsAreMovedInsertedAndRemovedInPlace() {
    DeviceListModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.setRows({rowFor("a", "A"), rowFor("b", "B"), rowFor("c", "C")});
    QSignalSpy moves(&model, &QAbstractItemModel::rowsMoved);
    QSignalSpy inserts(&model, &QAbstractItemModel::rowsInserted);
    QSignalSpy removals(&model, &QAbstractItemModel::rowsRemoved);
    QSignalSpy changes(&model, &QAbstractItemModel::dataChanged);
    QSignalSpy counts(&model, &DeviceListModel::countChanged);

    model.setRows({rowFor("c", "C"), rowFor("d", "D"), rowFor("a", "A2")});
    QCOMPARE(keysOf(model), (QStringList{"c", "d", "a"}));
    QCOMPARE(removals.count(), 1);
    QCOMPARE(moves.count(), 1);
    QCOMPARE(inserts.count(), 1);
    QCOMPARE(changes.count(), 1);
    QCOMPARE(changes[0][2].value<QList<int>>(), QList<int>{DeviceListModel::NameRole});
    QCOMPARE(counts.count(), 0);  // three rows before and after

    // A key listed twice shows once.
    model.setRows({rowFor("a", "A"), rowFor("a", "A")});
    QCOMPARE(keysOf(model), QStringList{"a"});
    model.setRows({});
    QCOMPARE(model.count(), 0);
    QCOMPARE(counts.count(), 2);
}

void DockViewModelTest::picturesAreDrawnOncePerModelStateAndSize() {
    SimTypeDatabase types;
    DeviceArtProvider art(types);
    QSize size;
    const auto lit = art.requestImage("dark/ipad/lit/iPad16,6", &size, QSize(64, 64));
    const auto off = art.requestImage("dark/ipad/off/iPad16,6", &size, QSize(64, 64));
    QCOMPARE(size, QSize(64, 64));
    QVERIFY(!lit.isNull());
    QVERIFY(lit != off);
    // The screen's middle is lit in one and dark in the other.
    QVERIFY(qBlue(lit.pixel(32, 32)) > 150);
    QVERIFY(qBlue(off.pixel(32, 32)) < 40);
    QCOMPARE(art.drawn(), 2);
    art.requestImage("dark/ipad/lit/iPad16,6", &size, QSize(64, 64));
    QCOMPARE(art.drawn(), 2);
    art.requestImage("dark/ipad/lit/iPad16,6", &size, QSize(128, 128));
    QCOMPARE(art.drawn(), 3);

    // A television of another make, and an empty model of an Apple TV.
    const auto television = art.requestImage("light/tv/lit/LG-OLED", &size, QSize());
    QCOMPARE(television.size(), QSize(512, 512));
    QVERIFY(!art.requestImage("light/appletv/off/", &size, QSize(40, 40)).isNull());
    QVERIFY(!art.requestImage("light/mac/lit/Mac15,6", &size, QSize(40, 40)).isNull());
    QVERIFY(art.requestImage("nonsense", &size, QSize(40, 40)).isNull());
}

namespace {

// A type database whose artwork claims more pixels than it carries.
class ShortArtwork : public TypeDatabase {
  public:
    std::vector<ContentType> types(const std::string& tag, const std::string&) const override {
        return {ContentType{"com.apple." + tag, "Something", Image{512, 512, {0, 0, 0, 255}}}};
    }
};

}  // namespace

void DockViewModelTest::aPictureShorterThanItsSizeIsNotRead() {
    ShortArtwork types;
    DeviceArtProvider art(types);
    QSize size;
    // Drawn here instead, as for a television.
    QCOMPARE(art.requestImage("dark/ipad/lit/iPad16,6", &size, QSize()).size(), QSize(512, 512));
    QVERIFY(!art.requestImage("dark/mac/lit/Mac15,6", &size, QSize(40, 40)).isNull());
}

namespace {

struct ModeRowSeen {
    QString group;
    int modeId;
    bool native;
    bool current;
    friend bool operator==(const ModeRowSeen&, const ModeRowSeen&) = default;
};

std::vector<ModeRowSeen> modeRows(ModeListModel& model) {
    std::vector<ModeRowSeen> rows;
    for (int row = 0; row < model.rowCount(); ++row) {
        rows.push_back({roleOf(model, row, ModeListModel::GroupRole).toString(),
                        roleOf(model, row, ModeListModel::ModeIdRole).toInt(),
                        roleOf(model, row, ModeListModel::NativeRole).toBool(),
                        roleOf(model, row, ModeListModel::CurrentRole).toBool()});
    }
    return rows;
}

std::vector<int> idsIn(const std::vector<ModeRowSeen>& rows, const QString& group) {
    std::vector<int> ids;
    for (const auto& row : rows) {
        if (row.group == group) ids.push_back(row.modeId);
    }
    return ids;
}

}  // namespace

void DockViewModelTest::theMacsModesComeOncePerSizeHiddenOnesApart() {
    DockFixture f;
    auto& modes = *f.viewModel->macModes()->modes();
    QAbstractItemModelTester tester(&modes, QAbstractItemModelTester::FailureReportingMode::QtTest);
    f.viewModel->macModes()->refresh();
    const auto rows = modeRows(modes);
    // The panel runs its native 1512 × 982 HiDPI at 120 Hz.
    QCOMPARE(rows.front(), (ModeRowSeen{"recommended", 5, true, true}));
    // One row per size, the fastest first: no 60 Hz twin of a listed size.
    QCOMPARE(idsIn(rows, "offered"), (std::vector<int>{14, 1, 3, 5, 16, 8}));
    QCOMPARE(idsIn(rows, "more"), (std::vector<int>{10, 12}));

    f.viewModel->macModes()->choose(8);
    f.advance(1s);
    QCOMPARE(f.viewModel->macModes()->status(), QString());
    for (const auto& row : modeRows(modes)) QCOMPARE(row.current, row.modeId == 8);

    // A hidden size is switched to like any other.
    f.viewModel->macModes()->choose(12);
    f.advance(1s);
    QCOMPARE(currentMode(f.harness.platform.displays, 1)->id, 12);
}

void DockViewModelTest::aFailedSwitchOfTheMacsModeSaysSo() {
    DockFixture f;
    auto* macModes = f.viewModel->macModes();
    macModes->refresh();
    f.harness.mac.windowServer().failNextBegin(1001);
    QSignalSpy status(macModes, &MacModesViewModel::statusChanged);
    macModes->choose(3);
    f.advance(1s);
    QCOMPARE(macModes->status(), QString("Couldn't switch mode"));
    QCOMPARE(status.count(), 1);
    const auto rows = modeRows(*macModes->modes());
    QCOMPARE(rows.front(), (ModeRowSeen{"recommended", 5, true, true}));
    // The next switch that works clears the message.
    macModes->choose(3);
    f.advance(1s);
    QCOMPARE(macModes->status(), QString());
    // An id the panel does not offer does nothing.
    macModes->choose(999);
    f.advance(1s);
    QCOMPARE(currentMode(f.harness.platform.displays, 1)->id, 3);
}

}  // namespace kd
