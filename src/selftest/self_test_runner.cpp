#include "selftest/self_test_runner.h"

#include "selftest/groups.h"

namespace kd {

int runSelfTest(SelfTestContext& context, std::ostream& out, std::ostream& err) {
    SelfTest t;
    // Groups run in their fixed order, by number.
    groups::testAttachment(t, context);            // 1
    groups::testMirroring(t, context);             // 2
    groups::testSides(t, context);                 // 3
    groups::testScreenMap(t, context);             // 4
    groups::testConnectOutcome(t, context);        // 5
    groups::testAirPlayModePanel(t, context);      // 6
    groups::testTVConnectPolicy(t, context);       // 7
    groups::testDisplaySettingsOffer(t, context);  // 8
    groups::testPinnedLabel(t, context);           // 9
    groups::testWindowChrome(t, context);          // 10
    groups::testBrowserShare(t, context);          // 11
    groups::testControlCentreScript(t, context);   // 12
    groups::testScriptTimeout(t, context);         // 13
    groups::testStuckBusy(t, context);             // 14
    groups::testArtwork(t, context);               // 15
    groups::testLanguage(t, context);              // 16
    groups::testPrefs(t, context);                 // 17
    groups::testModeMatching(t, context);          // 18
    groups::testLidGuard(t, context);              // 19
    groups::testAccount(t, context);               // 20
    return t.report(out, err);
}

}  // namespace kd
