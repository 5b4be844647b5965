#pragma once

#include <QObject>

namespace kd {

// The display settings of one device: the rules and the view model over the
// real controller.
class DeviceSettingsTest : public QObject {
    Q_OBJECT
  private slots:
    void hdrStatusTakesTheFirstRuleThatApplies();
    void offeredSizesComeOnceEachFromTheirSource();
    void anIPadNeverConnectedShowsWhatSidecarReports();
    void pinningWhileAwaySavesForLater();
    void aConnectedScreenOffersItsOwnModes();
    void aTelevisionNeverConnectedIsEstimatedFromTheCatalog();
    void aReceiversAnswerShowsInTheTexts();
    void aDeviceOfUnknownModelHasNothingToOffer();
    void anHdrScreenSwitchesAndSaysWhenItRefuses();
};

}  // namespace kd
