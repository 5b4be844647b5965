#include "popover_view_test.h"

#include <QTest>

#include "popover_host.h"

namespace kd {

namespace {

bool chosen(const PopoverHost& host, const QString& row) {
    const auto* item = host.item(row);
    return item && item->property("chosen").toBool();
}

void typeInto(const PopoverHost& host, const QString& field, const QString& text) {
    QVERIFY(host.item(field));
    host.item(field)->setProperty("text", QString());
    QVERIFY(host.click(field));
    for (const auto c : text) QTest::keyClick(host.window(), c.toLatin1());
}

}  // namespace

void PopoverViewTest::soundChoiceSurvivesASwitchToThemeAndBack() {
    SettingsFixture f;
    PopoverHost host(f, false);
    QVERIFY(host.settle());
    QVERIFY(host.item("soundSection"));
    QVERIFY(chosen(host, "sound_waterbubble"));

    QVERIFY(host.click("sound_bloop"));
    QCOMPARE(f.state.soundID.get(), "bloop");
    QVERIFY(host.click("sectionTheme"));
    QVERIFY(host.settle());
    QVERIFY(!host.item("soundSection"));
    QVERIFY(host.item("theme_auto"));
    QVERIFY(host.click("sectionSound"));
    QVERIFY(host.settle());

    QVERIFY(chosen(host, "sound_bloop"));
    QVERIFY(!chosen(host, "sound_waterbubble"));
    QCOMPARE(f.state.soundID.get(), "bloop");
}

void PopoverViewTest::everyOpeningStartsOnTheSound() {
    SettingsFixture f;
    PopoverHost host(f, true);
    QVERIFY(host.click("sectionTheme"));
    QVERIFY(host.click("theme_dark"));
    QCOMPARE(f.state.theme.get(), ThemeChoice::dark);
    QMetaObject::invokeMethod(host.popover(), "close");
    QTRY_VERIFY(!host.popover()->property("visible").toBool());
    QMetaObject::invokeMethod(host.popover(), "open");
    QVERIFY(host.settle());
    QCOMPARE(host.popover()->property("section").toString(), QStringLiteral("sound"));
    QVERIFY(host.item("soundSection"));
}

void PopoverViewTest::macSectionSwitchesAndSaysWhenItCannot() {
    SettingsFixture f;
    PopoverHost host(f, false);
    QVERIFY(host.click("sectionMac"));
    QVERIFY(host.settle());
    QVERIFY(chosen(host, "mode_5"));
    QVERIFY(!host.item("modeStatus"));
    QVERIFY(!host.item("noModes"));

    f.dock.mac.windowServer().failNextComplete(SimWindowServer::kIllegalArgument);
    QVERIFY(host.click("mode_3"));
    f.advance(std::chrono::seconds(1));
    QVERIFY(host.settle());
    QVERIFY(chosen(host, "mode_5"));
    QVERIFY(host.item("modeStatus"));
    QCOMPARE(host.item("modeStatus")->property("text").toString(),
             QStringLiteral("Couldn't switch mode"));

    QVERIFY(host.click("mode_3"));
    f.advance(std::chrono::seconds(1));
    QVERIFY(host.settle());
    QVERIFY(chosen(host, "mode_3"));
    QVERIFY(!host.item("modeStatus"));
}

void PopoverViewTest::macSectionWithoutModesSaysSo() {
    auto scenario = defaultScenario();
    scenario.displays.front().modes.clear();
    SettingsFixture f(std::move(scenario));
    PopoverHost host(f, false);
    QVERIFY(host.click("sectionMac"));
    QVERIFY(host.settle());
    QVERIFY(host.item("noModes"));
    QCOMPARE(host.item("noModes")->property("text").toString(),
             QStringLiteral("No modes reported for the built-in display"));
}

void PopoverViewTest::reconnectSwitchSetsTheController() {
    SettingsFixture f;
    PopoverHost host(f, false);
    QVERIFY(host.click("reconnectSwitchToggle"));
    QVERIFY(!f.state.autoReconnect.get());
    f.state.autoReconnect.set(true);
    QVERIFY(host.item("reconnectSwitchToggle")->property("checked").toBool());
    QVERIFY(host.click("automaticChecksToggle"));
    QVERIFY(!f.updater->automaticallyChecks.get());
}

void PopoverViewTest::checkNowStartsACheck() {
    SettingsFixture f;
    PopoverHost host(f, false);
    QVERIFY(!host.item("updateStatus"));
    QVERIFY(host.click("checkNow"));
    QVERIFY(f.updater->checking.get());
    QVERIFY(host.settle());
    QCOMPARE(host.item("updateStatus")->property("text").toString(),
             QString::fromUtf8(kCheckingForUpdatesText));
    QVERIFY(!host.item("checkNow")->isEnabled());

    f.advance(std::chrono::seconds(1));
    QVERIFY(host.settle());
    QVERIFY(host.item("checkNow")->isEnabled());
    QVERIFY(host.item("lastCheck"));
}

void PopoverViewTest::badAddressIsRefusedWithItsReason() {
    SettingsFixture f;
    PopoverHost host(f, false);
    QVERIFY(host.settle());
    QVERIFY(!host.item("problem"));
    typeInto(host, "firstNameField", "Ada");
    typeInto(host, "emailField", "ada.example.com");
    QVERIFY(host.click("registerCard"));
    QVERIFY(host.settle());

    QVERIFY(host.item("problem"));
    QCOMPARE(host.item("problem")->property("text").toString(),
             QStringLiteral("That doesn't look like an email address"));
    QVERIFY(!f.account->registered.get());
    // What was typed stays for mending.
    QCOMPARE(host.item("emailField")->property("text").toString(),
             QStringLiteral("ada.example.com"));
}

void PopoverViewTest::goodCardShowsTheCardAndEditReturnsToTheForm() {
    SettingsFixture f;
    PopoverHost host(f, true);
    QVERIFY(host.settle());
    QCOMPARE(host.item("countryPicker")->property("currentValue").toString(), QStringLiteral("US"));
    typeInto(host, "firstNameField", "Ada");
    typeInto(host, "lastNameField", "Lane");
    typeInto(host, "emailField", "Ada@Example.com");
    // Return in a field registers, as Done does.
    QTest::keyClick(host.window(), Qt::Key_Return);
    QVERIFY(host.settle());

    QVERIFY(f.account->registered.get());
    QVERIFY(!host.item("accountForm"));
    QCOMPARE(host.item("signedInAs")->property("text").toString(),
             QStringLiteral("Signed in as Ada Lane"));
    QCOMPARE(host.item("cardDetails")->property("text").toString(),
             QString::fromUtf8("ada@example.com \u00b7 US"));

    QVERIFY(host.click("editCard"));
    QVERIFY(host.settle());
    QVERIFY(!host.item("accountCard"));
    QCOMPARE(host.item("firstNameField")->property("text").toString(), QStringLiteral("Ada"));
    QCOMPARE(host.item("emailField")->property("text").toString(),
             QStringLiteral("ada@example.com"));
}

void PopoverViewTest::askingForTheCardScrollsToIt() {
    SettingsFixture f;
    PopoverHost host(f, false);
    host.window()->resize(476, 420);
    QMetaObject::invokeMethod(host.popover(), "close");
    QTRY_VERIFY(!host.popover()->property("visible").toBool());

    QMetaObject::invokeMethod(host.popover(), "showAccount");
    QVERIFY(host.settle());
    auto* scroller = host.item("settingsScroller");
    auto* card = host.item("accountSection");
    QVERIFY(scroller && card);
    QTRY_VERIFY(scroller->property("contentY").toDouble() > 0);
    // The card's top is inside the visible part of the popover.
    const auto top = card->mapToItem(scroller, QPointF(0, 0)).y();
    QVERIFY2(top >= 0 && top < scroller->height(), qPrintable(QString::number(top)));
    QCOMPARE(host.popover()->property("section").toString(), QStringLiteral("sound"));
}

}  // namespace kd

// Its meta-object code joins this translation unit (see CMakeLists.txt).
#include "moc_popover_view_test.cpp"  // NOLINT(bugprone-suspicious-include)
