#pragma once

// The self-test groups, each checking one area of the program, by number.

#include "selftest/self_test.h"
#include "selftest/self_test_context.h"

namespace kd::groups {

void testAttachment(SelfTest& t, SelfTestContext& context);            // 1
void testMirroring(SelfTest& t, SelfTestContext& context);             // 2
void testSides(SelfTest& t, SelfTestContext& context);                 // 3
void testScreenMap(SelfTest& t, SelfTestContext& context);             // 4
void testConnectOutcome(SelfTest& t, SelfTestContext& context);        // 5
void testAirPlayModePanel(SelfTest& t, SelfTestContext& context);      // 6
void testTVConnectPolicy(SelfTest& t, SelfTestContext& context);       // 7
void testDisplaySettingsOffer(SelfTest& t, SelfTestContext& context);  // 8
void testPinnedLabel(SelfTest& t, SelfTestContext& context);           // 9
void testWindowChrome(SelfTest& t, SelfTestContext& context);          // 10
void testBrowserShare(SelfTest& t, SelfTestContext& context);          // 11
void testControlCentreScript(SelfTest& t, SelfTestContext& context);   // 12
void testScriptTimeout(SelfTest& t, SelfTestContext& context);         // 13
void testStuckBusy(SelfTest& t, SelfTestContext& context);             // 14
void testArtwork(SelfTest& t, SelfTestContext& context);               // 15
void testLanguage(SelfTest& t, SelfTestContext& context);              // 16
void testPrefs(SelfTest& t, SelfTestContext& context);                 // 17
void testModeMatching(SelfTest& t, SelfTestContext& context);          // 18
void testLidGuard(SelfTest& t, SelfTestContext& context);              // 19
void testAccount(SelfTest& t, SelfTestContext& context);               // 20

}  // namespace kd::groups
