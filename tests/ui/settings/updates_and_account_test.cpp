#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>

#include "settings_fixture.h"
#include "view_model_tests.h"

namespace kd {

void UpdatesViewModelTest::checkShowsProgressThenTheOutcome() {
    SettingsFixture f;
    auto& updates = *f.updates;
    QSignalSpy checking(&updates, &UpdatesViewModel::checkingChanged);
    QSignalSpy status(&updates, &UpdatesViewModel::statusChanged);
    QSignalSpy lastCheck(&updates, &UpdatesViewModel::lastCheckChanged);
    QCOMPARE(updates.status(), QString());
    QCOMPARE(updates.lastCheck(), QString());

    updates.checkForUpdates();
    QVERIFY(updates.checking());
    QCOMPARE(updates.status(), QString::fromUtf8(kCheckingForUpdatesText));

    f.advance(std::chrono::seconds(1));
    QVERIFY(!updates.checking());
    QCOMPARE(updates.status(), QString::fromUtf8(kFeedUnreachableText));
    QVERIFY(!updates.lastCheck().isEmpty());
    QCOMPARE(checking.size(), 2);
    QCOMPARE(status.size(), 2);
    QCOMPARE(lastCheck.size(), 1);
}

void UpdatesViewModelTest::automaticChecksAreStored() {
    SettingsFixture f;
    QSignalSpy changed(f.updates.get(), &UpdatesViewModel::automaticallyChecksChanged);
    QVERIFY(f.updates->automaticallyChecks());
    f.updates->setProperty("automaticallyChecks", false);
    QVERIFY(!f.updater->automaticallyChecks.get());
    QCOMPARE(f.dock.defaults.boolValue(kAutomaticallyChecksKey), std::optional<bool>(false));
    QCOMPARE(changed.size(), 1);
}

void UpdatesViewModelTest::lastCheckReadsAsADate() {
    // The tests run in UTC (their environment sets TZ).
    QCOMPARE(lastCheckText(kSettingsTestNow),
             QStringLiteral("Last checked Dec 7, 2026 at 3:00 PM"));
    QCOMPARE(lastCheckText(WallTime{std::chrono::seconds(1767225540)}),
             QStringLiteral("Last checked Dec 31, 2025 at 11:59 PM"));
    QCOMPARE(lastCheckText(std::nullopt), QString());
}

void AccountViewModelTest::countriesAreAWellBehavedModel() {
    SettingsFixture f;
    auto& countries = *f.accountView->countries();
    QAbstractItemModelTester tester(&countries,
                                    QAbstractItemModelTester::FailureReportingMode::QtTest);
    QVERIFY(countries.rowCount() > 150);
    const int us = countries.rowOf("US");
    QVERIFY(us >= 0);
    const auto at = countries.index(us);
    QCOMPARE(at.data(CountryListModel::NameRole).toString(), QStringLiteral("United States"));
    QCOMPARE(at.data(CountryListModel::CodeRole).toString(), QStringLiteral("US"));
    QCOMPARE(countries.rowOf("ZZ"), -1);
    QCOMPARE(countries.rowOf(""), -1);
    QCOMPARE(countries.roleNames().value(CountryListModel::CodeRole), QByteArray("code"));
}

void AccountViewModelTest::refusedCardSaysWhyAndStaysAForm() {
    SettingsFixture f;
    auto& account = *f.accountView;
    QSignalSpy problem(&account, &AccountViewModel::problemChanged);
    QCOMPARE(account.country(), QStringLiteral("US"));

    QVERIFY(!account.registerCard(" ", "Lane", "ada@example.com", "US"));
    QCOMPARE(account.problem(), QStringLiteral("Your first name, please"));
    QVERIFY(!account.registerCard("Ada", "Lane", "ada", "US"));
    QCOMPARE(account.problem(), QStringLiteral("That doesn't look like an email address"));
    QVERIFY(!account.registerCard("Ada", "Lane", "ada@example.com", ""));
    QCOMPARE(account.problem(), QStringLiteral("Pick your country"));
    QCOMPARE(problem.size(), 3);
    QVERIFY(!account.registered());
    QCOMPARE(f.dock.defaults.text(kAccountEmailKey), std::nullopt);
}

void AccountViewModelTest::registeredCardAndEditBack() {
    SettingsFixture f;
    auto& account = *f.accountView;
    QSignalSpy registered(&account, &AccountViewModel::registeredChanged);
    QSignalSpy card(&account, &AccountViewModel::cardChanged);
    account.registerCard("Ada", "Lane", "ada", "US");
    QVERIFY(!account.problem().isEmpty());

    QVERIFY(account.registerCard(" Ada ", "Lane", " Ada@Example.COM ", "FR"));
    QVERIFY(account.registered());
    QCOMPARE(account.fullName(), QStringLiteral("Ada Lane"));
    QCOMPARE(account.email(), QStringLiteral("ada@example.com"));
    QCOMPARE(account.country(), QStringLiteral("FR"));
    QCOMPARE(account.problem(), QString());
    QVERIFY(card.size() >= 3);

    account.edit();
    QVERIFY(!account.registered());
    QCOMPARE(registered.size(), 2);
    // The form comes back with the stored card.
    QCOMPARE(account.firstName(), QStringLiteral("Ada"));
    QCOMPARE(account.email(), QStringLiteral("ada@example.com"));
}

}  // namespace kd
