#pragma once

// The settings popover's view models over the real controllers on the
// simulated Mac.

#include <QObject>

namespace kd {

class SettingsViewModelTest : public QObject {
    Q_OBJECT

  private slots:
    void soundChoiceIsStoredAndPreviewed();
    void choosingTheCurrentSoundPlaysItAgain();
    void unknownChoicesChangeNothing();
    void themeAndReconnectFollowTheController();
    void macModesMarkNativeAndCurrent();
    void failedModeSwitchKeepsTheCheckMark();
    void modeSwitchAfterTheViewModelIsGoneDoesNothing();
    void macWithoutModesListsNone();
    void rowsWithOtherKeysReplaceTheList();
};

class UpdatesViewModelTest : public QObject {
    Q_OBJECT

  private slots:
    void checkShowsProgressThenTheOutcome();
    void automaticChecksAreStored();
    void lastCheckReadsAsADate();
};

class AccountViewModelTest : public QObject {
    Q_OBJECT

  private slots:
    void countriesAreAWellBehavedModel();
    void refusedCardSaysWhyAndStaysAForm();
    void registeredCardAndEditBack();
};

}  // namespace kd
