#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>

#include "display/modes.h"
#include "settings_fixture.h"
#include "view_model_tests.h"

namespace kd {

namespace {

// The keys of the rows marked as chosen.
QStringList chosenKeys(const ChoiceListModel& model) {
    QStringList keys;
    for (const auto& row : model.rows()) {
        if (row.chosen) keys << row.key;
    }
    return keys;
}

std::vector<std::string> playedFiles(SimMac& mac) {
    std::vector<std::string> files;
    for (const auto& sound : mac.soundPlayer().played()) {
        const auto slash = sound.what.rfind('/');
        files.push_back(slash == std::string::npos ? sound.what : sound.what.substr(slash + 1));
    }
    return files;
}

}  // namespace

void SettingsViewModelTest::soundChoiceIsStoredAndPreviewed() {
    SettingsFixture f;
    auto& sounds = *f.settings->sounds();
    QAbstractItemModelTester tester(&sounds,
                                    QAbstractItemModelTester::FailureReportingMode::QtTest);
    QCOMPARE(sounds.count(), static_cast<int>(soundOptions.size()));
    QCOMPARE(chosenKeys(sounds), QStringList{"waterbubble"});
    QCOMPARE(sounds.rows()[7].label, QStringLiteral("Bottle (system)"));
    QSignalSpy changed(&sounds, &QAbstractItemModel::dataChanged);

    f.settings->chooseSound("bloop");

    QCOMPARE(f.state.soundID.get(), "bloop");
    QCOMPARE(f.dock.defaults.text(kConnectSoundKey), std::optional<std::string>("bloop"));
    QCOMPARE(chosenKeys(sounds), QStringList{"bloop"});
    // Only the two rows whose mark moved, and only their mark.
    QCOMPARE(changed.size(), 2);
    for (const auto& signal : changed) {
        QCOMPARE(signal.at(2).value<QList<int>>(), QList<int>{ChoiceListModel::ChosenRole});
    }
    f.advance(std::chrono::seconds(5));
    QCOMPARE(playedFiles(f.dock.mac), (std::vector<std::string>{"Bloop.aiff", "Bloop_rev.aiff"}));
}

void SettingsViewModelTest::choosingTheCurrentSoundPlaysItAgain() {
    SettingsFixture f;
    f.dock.defaults.remove(kConnectSoundKey);
    QSignalSpy changed(f.settings->sounds(), &QAbstractItemModel::dataChanged);

    f.settings->chooseSound("waterbubble");
    f.advance(std::chrono::seconds(5));

    QCOMPARE(playedFiles(f.dock.mac),
             (std::vector<std::string>{"WaterBubble.aiff", "WaterBubble_rev.aiff"}));
    // The value was already chosen: nothing is written and no row changes.
    QCOMPARE(f.dock.defaults.text(kConnectSoundKey), std::nullopt);
    QCOMPARE(changed.size(), 0);
}

void SettingsViewModelTest::unknownChoicesChangeNothing() {
    SettingsFixture f;
    f.settings->chooseSound("chime");
    f.settings->chooseTheme("Dark");
    f.settings->chooseMacMode("999");
    f.advance(std::chrono::seconds(5));
    QCOMPARE(f.state.soundID.get(), "waterbubble");
    QCOMPARE(f.state.theme.get(), ThemeChoice::automatic);
    QVERIFY(f.dock.mac.soundPlayer().played().empty());
    QCOMPARE(f.settings->modeStatus(), QString());
}

void SettingsViewModelTest::themeAndReconnectFollowTheController() {
    SettingsFixture f;
    auto& themes = *f.settings->themes();
    QAbstractItemModelTester tester(&themes,
                                    QAbstractItemModelTester::FailureReportingMode::QtTest);
    QCOMPARE(themes.rows()[0].label, QStringLiteral("Auto"));
    QCOMPARE(chosenKeys(themes), QStringList{"auto"});

    f.settings->chooseTheme("dark");
    QCOMPARE(f.state.theme.get(), ThemeChoice::dark);
    QCOMPARE(f.dock.defaults.text(kThemeKey), std::optional<std::string>("dark"));
    QCOMPARE(chosenKeys(themes), QStringList{"dark"});
    // A change made elsewhere (the menu, another window) shows here too.
    f.state.theme.set(ThemeChoice::light);
    QCOMPARE(chosenKeys(themes), QStringList{"light"});

    QSignalSpy reconnect(f.settings.get(), &SettingsViewModel::autoReconnectChanged);
    QVERIFY(f.settings->autoReconnect());
    f.settings->setProperty("autoReconnect", false);
    QVERIFY(!f.state.autoReconnect.get());
    QCOMPARE(f.dock.defaults.boolValue(kAutoReconnectKey), std::optional<bool>(false));
    f.state.autoReconnect.set(true);
    QCOMPARE(reconnect.size(), 2);
    QVERIFY(f.settings->autoReconnect());
}

void SettingsViewModelTest::macModesMarkNativeAndCurrent() {
    SettingsFixture f;
    auto& modes = *f.settings->macModes();
    QAbstractItemModelTester tester(&modes, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QCOMPARE(modes.count(), 0);

    f.settings->loadMacModes();
    // The whole ladder, the sizes macOS hides (10 to 13) included.
    QStringList keys;
    QStringList notes;
    for (const auto& row : modes.rows()) {
        keys << row.key;
        if (!row.note.isEmpty()) notes << row.key + ":" + row.note;
    }
    QCOMPARE(keys, QString("14 15 1 2 3 4 5 6 7 16 8 9 10 11 12 13").split(' '));
    QCOMPARE(notes, QStringList{"5:Native"});
    QCOMPARE(chosenKeys(modes), QStringList{"5"});
    QCOMPARE(modes.rows()[6].label, QString::fromUtf8("1512 \u00d7 982 HiDPI \u00b7 120 Hz"));

    f.settings->chooseMacMode("3");
    QCOMPARE(chosenKeys(modes), QStringList{"5"});  // not before the switch is done
    f.advance(std::chrono::seconds(1));
    QCOMPARE(chosenKeys(modes), QStringList{"3"});
    QCOMPARE(f.settings->modeStatus(), QString());
}

void SettingsViewModelTest::failedModeSwitchKeepsTheCheckMark() {
    SettingsFixture f;
    f.settings->loadMacModes();
    QSignalSpy status(f.settings.get(), &SettingsViewModel::modeStatusChanged);

    f.dock.mac.windowServer().failNextComplete(SimWindowServer::kIllegalArgument);
    f.settings->chooseMacMode("8");
    f.advance(std::chrono::seconds(1));
    QCOMPARE(chosenKeys(*f.settings->macModes()), QStringList{"5"});
    QCOMPARE(f.settings->modeStatus(), QStringLiteral("Couldn't switch mode"));

    // The next switch that works clears the complaint.
    f.settings->chooseMacMode("8");
    f.advance(std::chrono::seconds(1));
    QCOMPARE(chosenKeys(*f.settings->macModes()), QStringList{"8"});
    QCOMPARE(f.settings->modeStatus(), QString());
    QCOMPARE(status.size(), 2);
}

void SettingsViewModelTest::modeSwitchAfterTheViewModelIsGoneDoesNothing() {
    SettingsFixture f;
    f.settings->loadMacModes();
    f.settings->chooseMacMode("3");
    f.settings.reset();
    f.advance(std::chrono::seconds(1));
    // The switch itself still happened; only its report had nobody to tell.
    const auto now = currentMode(f.dock.platform.displays, DisplayID{1});
    QVERIFY(now);
    QCOMPARE(now->id, 3);
}

void SettingsViewModelTest::macWithoutModesListsNone() {
    auto scenario = defaultScenario();
    scenario.displays.front().modes.clear();
    SettingsFixture f(std::move(scenario));
    f.settings->loadMacModes();
    QCOMPARE(f.settings->macModes()->count(), 0);
}

void SettingsViewModelTest::rowsWithOtherKeysReplaceTheList() {
    ChoiceListModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QSignalSpy count(&model, &ChoiceListModel::countChanged);
    model.setRows({{"a", "A", {}, true}, {"b", "B", {}, false}, {"c", "C", {}, false}});
    model.setRows({{"b", "B", {}, true}, {"d", "D", "Native", false}});
    QCOMPARE(model.count(), 2);
    QCOMPARE(model.rows()[1].note, QStringLiteral("Native"));
    QCOMPARE(count.size(), 2);
    model.setRows({});
    QCOMPARE(model.count(), 0);
}

}  // namespace kd

// Its meta-object code joins this translation unit (see CMakeLists.txt).
#include "moc_view_model_tests.cpp"  // NOLINT(bugprone-suspicious-include)
