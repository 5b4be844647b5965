#pragma once

#include <QObject>

namespace kd {

// The dock's view model and list models over the real controller.
class DockViewModelTest : public QObject {
    Q_OBJECT
  private slots:
    void rowTexts();
    void rowsFollowTheControllerWithExactChanges();
    void anArrowToAHeldSideSaysWhoHoldsIt();
    void aPinnedModeShowsInTheSettingsHelp();
    void anEmptyListSearchesThenOffersToSearchAgain();
    void theAccessibilityBannerGoesOnceAllowed();
    void rowsAreMovedInsertedAndRemovedInPlace();
    void picturesAreDrawnOncePerModelStateAndSize();
    void aPictureShorterThanItsSizeIsNotRead();
    void theMacsModesComeOncePerSizeHiddenOnesApart();
    void aFailedSwitchOfTheMacsModeSaysSo();
};

}  // namespace kd
