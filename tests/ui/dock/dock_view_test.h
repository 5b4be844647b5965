#pragma once

#include <QObject>

namespace kd {

// The dock view loaded offscreen, driven by clicks and drags.
class DockViewTest : public QObject {
    Q_OBJECT
  private slots:
    void aRowsButtonsCallTheController();
    void aHeldSideShowsWhoHoldsIt();
    void theEmptyStates();
    void draggingATileAboveTheMacPutsItOnTop();
    void draggingATileAcrossTheMacsTopEdgeKeepsItBeside();
    void theAccessibilityBannerOpensItsSettings();
    void aFailedModeSwitchKeepsTheCheckMark();
    void aRowsGearOpensItsDisplaySettings();
    void theStatusLineOffersDisplaysSettingsAndListsWarnings();
};

}  // namespace kd
