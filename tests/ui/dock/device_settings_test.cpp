#include "device_settings_test.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>

#include "display/device_prefs.h"
#include "display/modes.h"
#include "dock_fixture.h"
#include "ui/dock/device_settings_rules.h"

namespace kd {

namespace {

using namespace std::chrono_literals;

QStringList labelsOf(ModeListModel& model) {
    QStringList labels;
    for (int row = 0; row < model.rowCount(); ++row) {
        labels << model.data(model.index(row), ModeListModel::LabelRole).toString();
    }
    return labels;
}

QString checkedIn(ModeListModel& model) {
    for (int row = 0; row < model.rowCount(); ++row) {
        if (model.data(model.index(row), ModeListModel::CurrentRole).toBool()) {
            return model.data(model.index(row), ModeListModel::LabelRole).toString();
        }
    }
    return {};
}

DisplayMode liveMode(int width, int height, bool hidpi, int refresh) {
    DisplayMode mode;
    mode.width = width;
    mode.height = height;
    mode.hidpi = hidpi;
    mode.refresh = refresh;
    return mode;
}

const std::string kDot = " \u00B7 ";

}  // namespace

void DeviceSettingsTest::hdrStatusTakesTheFirstRuleThatApplies() {
    SettingsScan live;
    live.target = 7;
    live.modes = {liveMode(1920, 1080, false, 60)};
    live.hdr = HDRState{true, true, 2.0};
    live.hdrToggleable = true;
    live.hdrOn = true;
    QCOMPARE(hdrStatusText(SizeSource::liveDisplay, live), "On" + kDot + "headroom \u00D72.0");
    live.hdrOn = false;
    QCOMPARE(hdrStatusText(SizeSource::liveDisplay, live), "Off");
    live.hdrToggleable = false;
    live.hdr = HDRState{true, true, 3.25};
    QCOMPARE(hdrStatusText(SizeSource::liveDisplay, live), "Active" + kDot + "headroom \u00D73.2");
    live.hdr = HDRState{true, false, 1.0};
    QCOMPARE(hdrStatusText(SizeSource::liveDisplay, live), "Supported, currently off");
    live.hdr = HDRState{false, false, 1.0};
    QCOMPARE(hdrStatusText(SizeSource::liveDisplay, live),
             "This link is SDR \u2014 no HDR on offer");

    // A screen whose HDR state cannot be read falls through to what else is known.
    SettingsScan away;
    away.target = 7;
    away.sidecar = SidecarScan{"iPad", "iPad16,6", 1366, 1024, 2, 60, true, true};
    QCOMPARE(hdrStatusText(SizeSource::sidecarConfig, away), "Sidecar will negotiate HDR");
    // Sidecar's word counts only when the sizes come from it.
    away.profile = DeviceProfile{"iPad16,6", "iPad Pro", 2752, 2064, {120, 60}, true};
    QCOMPARE(hdrStatusText(SizeSource::cache, away), "Device panel supports HDR");
    away.airplay = AirPlayInfo{};
    QCOMPARE(hdrStatusText(SizeSource::cache, away), "Device panel supports HDR");
    away.airplay->hdrCapability = "4k-hdr10";
    QCOMPARE(hdrStatusText(SizeSource::cache, away),
             "Receiver reports 4k-hdr10" + kDot + "screen mirroring is usually SDR");
    QCOMPARE(hdrStatusText(SizeSource::unknown, SettingsScan{}), "Unknown until connected");
}

void DeviceSettingsTest::offeredSizesComeOnceEachFromTheirSource() {
    SettingsScan live;
    live.target = 7;
    live.modes = {liveMode(1920, 1080, false, 60), liveMode(1920, 1080, false, 50),
                  liveMode(1280, 720, true, 60)};
    QCOMPARE(offeredSizes(sizeSource(live), live),
             (std::vector<ResOption>{{1920, 1080, false}, {1280, 720, true}}));
    QCOMPARE(refreshRates(SizeSource::liveDisplay, live, {1920, 1080, false}),
             (std::vector<int>{60, 50}));

    SettingsScan cached;
    cached.cached = {{1280, 720, false, 60},
                     {1920, 1080, false, 60},
                     {1280, 720, true, 60},
                     {1920, 1080, false, 30}};
    QCOMPARE(sizeSource(cached), SizeSource::cache);
    QCOMPARE(offeredSizes(SizeSource::cache, cached),
             (std::vector<ResOption>{{1920, 1080, false}, {1280, 720, true}, {1280, 720, false}}));

    // A Sidecar configuration without a width offers nothing, at 1x no HiDPI.
    SettingsScan sidecar;
    sidecar.sidecar = SidecarScan{"iPad", "", 0, 0, 1, 0, false, true};
    QVERIFY(offeredSizes(SizeSource::sidecarConfig, sidecar).empty());
    sidecar.sidecar->width = 1024;
    sidecar.sidecar->height = 768;
    QCOMPARE(offeredSizes(SizeSource::sidecarConfig, sidecar),
             (std::vector<ResOption>{{1024, 768, false}}));
    QVERIFY(refreshRates(SizeSource::sidecarConfig, sidecar, {1024, 768, false}).empty());

    QCOMPARE(sourceLabel(SizeSource::panelEstimate, "AppleTV14,1"), "Estimated from AppleTV14,1");
}

void DeviceSettingsTest::anIPadNeverConnectedShowsWhatSidecarReports() {
    DockFixture f;
    auto* settings = f.viewModel->deviceSettings();
    settings->open("sidecar");
    QCOMPARE(settings->title(), QString("iPad Pro 13-inch (M4)"));
    QCOMPARE(settings->subtitle(),
             QString::fromStdString("iPad Pro 13-inch (M4)" + kDot + "2752 \u00D7 2064"));
    QCOMPARE(settings->sourceLabel(), QString("Reported by Sidecar"));
    QCOMPARE(labelsOf(*settings->sizes()), QStringList{"1366 \u00D7 1024 HiDPI"});
    QVERIFY(!settings->pinned());
    QCOMPARE(settings->hdrStatus(), QString("Sidecar negotiates SDR for this iPad"));
    QCOMPARE(settings->rateNote(), QString("Sidecar caps the link at 60 Hz"));
    QVERIFY(!settings->hdrSwitchShown());
    QVERIFY(f.receivers.urls.empty());  // an iPad is not asked over AirPlay
}

void DeviceSettingsTest::pinningWhileAwaySavesForLater() {
    DockFixture f;
    auto* settings = f.viewModel->deviceSettings();
    settings->open("sidecar");
    QSignalSpy pins(settings, &DeviceSettingsViewModel::pinChanged);
    settings->chooseSize(0);
    QCOMPARE(pins.count(), 1);
    QCOMPARE(settings->note(),
             QString("Saved \u2014 Kelvane Display will apply it the moment Studio iPad "
                     "connects."));
    QVERIFY(savedPref(f.harness.defaults, "sidecar") == (ModePref{1366, 1024, true, 60}));
    QCOMPARE(checkedIn(*settings->sizes()), QString("1366 \u00D7 1024 HiDPI"));
    QCOMPARE(labelsOf(*settings->rates()), QStringList{"60 Hz"});
    // The row's settings help names the pin at once.
    auto& devices = *f.viewModel->devices();
    for (int row = 0; row < devices.rowCount(); ++row) {
        if (devices.data(devices.index(row), DeviceListModel::DeviceKeyRole) != "sidecar") continue;
        QCOMPARE(devices.data(devices.index(row), DeviceListModel::SettingsHelpRole).toString(),
                 QString("1366 \u00D7 1024 HiDPI \u00B7 60 Hz pinned for Studio iPad \u2014 click "
                         "to change"));
    }

    settings->chooseAutomatic();
    QVERIFY(!savedPref(f.harness.defaults, "sidecar"));
    QVERIFY(!settings->pinned());
    QCOMPARE(settings->note(), QString());
}

void DeviceSettingsTest::aConnectedScreenOffersItsOwnModes() {
    DockFixture f;
    const auto tv = QString::fromStdString(f.harness.device("Living Room").id);
    f.viewModel->place(tv, "right");
    f.advance(20s);
    auto* settings = f.viewModel->deviceSettings();
    QAbstractItemModelTester sizesTester(settings->sizes(),
                                         QAbstractItemModelTester::FailureReportingMode::QtTest);
    QAbstractItemModelTester ratesTester(settings->rates(),
                                         QAbstractItemModelTester::FailureReportingMode::QtTest);
    settings->open(tv);
    QCOMPARE(settings->sourceLabel(), QString("Scanned from the connected display"));
    const auto sizes = labelsOf(*settings->sizes());
    QVERIFY(sizes.size() > 1);
    QCOMPARE(checkedIn(*settings->sizes()), QString());  // nothing pinned: Automatic
    QVERIFY(!labelsOf(*settings->rates()).isEmpty());    // the rates of the size in use

    const auto display = f.state().tiles.get()[1].id;
    const auto before = currentMode(f.harness.platform.displays, display);
    const int other = sizes.indexOf(QString::fromStdString(before->sizeLabel())) == 0 ? 1 : 0;
    settings->chooseSize(other);
    f.advance(1s);
    QCOMPARE(settings->note(), QString());
    QCOMPARE(QString::fromStdString(currentMode(f.harness.platform.displays, display)->sizeLabel()),
             sizes[other]);
    QCOMPARE(checkedIn(*settings->sizes()), sizes[other]);

    // A mode the screen stops offering is said so, and nothing switches.
    f.harness.mac.windowServer().failNextBegin(1001);
    settings->chooseSize(other == 0 ? 1 : 0);
    f.advance(1s);
    QCOMPARE(settings->note(), QString("Couldn't switch mode."));

    settings->chooseAutomatic();
    f.advance(1s);
    QCOMPARE(currentMode(f.harness.platform.displays, display),
             recommendedMode(f.harness.platform.displays, display));
}

void DeviceSettingsTest::aTelevisionNeverConnectedIsEstimatedFromTheCatalog() {
    DockFixture f;
    auto* settings = f.viewModel->deviceSettings();
    const auto tv = QString::fromStdString(f.harness.device("Living Room").id);
    settings->open(tv);
    QVERIFY(settings->probing());
    QCOMPARE(settings->sourceLabel(), QString("Estimated from AppleTV14,1"));
    QCOMPARE(settings->sizes()->count(), 5);
    QCOMPARE(labelsOf(*settings->sizes()).last(), QString("3840 \u00D7 2160"));
    QCOMPARE(settings->hdrStatus(), QString("Device panel supports HDR"));
    QCOMPARE(settings->rateNote(), QString());
    f.advance(1s);
    QVERIFY(!settings->probing());
    QCOMPARE(f.receivers.urls, std::vector<std::string>{"http://Living-Room.local:7000/info"});

    settings->openDisplaySettings();
    QCOMPARE(f.harness.mac.urlOpener().opened(), std::vector<std::string>{kDisplaysSettingsURL});
}

void DeviceSettingsTest::aReceiversAnswerShowsInTheTexts() {
    DockFixture f;
    f.receivers.answer =
        HttpResponse{200,
                     "<?xml version=\"1.0\" encoding=\"UTF-8\"?><plist version=\"1.0\"><dict>"
                     "<key>receiverHDRCapability</key><string>4k-hdr10</string>"
                     "<key>features</key><integer>0</integer></dict></plist>"};
    auto* settings = f.viewModel->deviceSettings();
    settings->open(QString::fromStdString(f.harness.device("Living Room").id));
    f.advance(1s);
    QCOMPARE(settings->hdrStatus(), QString::fromStdString("Receiver reports 4k-hdr10" + kDot +
                                                           "screen mirroring is usually SDR"));
    QVERIFY(settings->subtitle().endsWith(
        QString::fromStdString("receiver 4k-hdr10" + kDot + "no screen support")));
}

void DeviceSettingsTest::aDeviceOfUnknownModelHasNothingToOffer() {
    auto scenario = defaultScenario();
    scenario.airPlayReceivers[0].model = "OLED65";
    DockFixture f(scenario);
    auto* settings = f.viewModel->deviceSettings();
    settings->open(QString::fromStdString(f.harness.device("Living Room").id));
    QCOMPARE(settings->title(), QString("OLED65"));
    QCOMPARE(settings->sourceLabel(), QString("Connect once to scan this device"));
    QCOMPARE(settings->sizes()->count(), 0);
    QCOMPARE(settings->hdrStatus(), QString("Unknown until connected"));
    settings->chooseSize(0);  // nothing to choose
    QVERIFY(!savedPref(f.harness.defaults, f.harness.device("Living Room").id));
}

namespace {

// The television's screen, found by its name, able to switch to HDR.
void plugInHdrTelevision(DockFixture& f) {
    ScenarioDisplay screen;
    screen.name = "Living Room";
    screen.bounds = Rect{1512, 0, 1920, 1080};
    screen.modes = {ScenarioMode{1, 1920, 1080, 1920, 1080, 60, true, false}};
    screen.currentMode = 1;
    screen.hdr = ScenarioHDR{true, false, 4.0, 1.0};
    f.harness.mac.windowServer().plugInExtending(screen);
    f.state().reconcile();
}

}  // namespace

void DeviceSettingsTest::anHdrScreenSwitchesAndSaysWhenItRefuses() {
    for (const bool refuses : {false, true}) {
        auto scenario = defaultScenario();
        if (refuses) {
            scenario.coreDisplay.missingSymbols.push_back("CoreDisplay_Display_SetHDRModeEnabled");
        }
        DockFixture f(scenario);
        plugInHdrTelevision(f);
        auto* settings = f.viewModel->deviceSettings();
        settings->open(QString::fromStdString(f.harness.device("Living Room").id));
        QVERIFY(settings->hdrSwitchShown());
        QCOMPARE(settings->hdrStatus(), QString("Off"));
        settings->setHdr(true);
        f.advance(1s);
        if (refuses) {
            QCOMPARE(settings->note(), QString("This display refused the HDR switch."));
            QVERIFY(!settings->hdrOn());
        } else {
            QCOMPARE(settings->note(), QString());
            QVERIFY(settings->hdrOn());
            QVERIFY(settings->hdrStatus().startsWith(QString::fromStdString("On" + kDot)));
        }
    }
}

}  // namespace kd
