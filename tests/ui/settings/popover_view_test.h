#pragma once

// The settings popover on screen (offscreen, software rendering): items
// found by objectName and clicked as a user would.

#include <QObject>

namespace kd {

class PopoverViewTest : public QObject {
    Q_OBJECT

  private slots:
    void soundChoiceSurvivesASwitchToThemeAndBack();
    void everyOpeningStartsOnTheSound();
    void macSectionSwitchesAndSaysWhenItCannot();
    void macSectionWithoutModesSaysSo();
    void reconnectSwitchSetsTheController();
    void checkNowStartsACheck();
    void badAddressIsRefusedWithItsReason();
    void goodCardShowsTheCardAndEditReturnsToTheForm();
    void askingForTheCardScrollsToIt();
};

// Pictures of each section in both schemes, for people to look at.
int writeSettingsScreenshots(int& argc, char** argv, const QString& folder);

}  // namespace kd
