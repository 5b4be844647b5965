#include "display/arrangement.h"

#include <gtest/gtest.h>

#include "display/sim_screens.h"
#include "platform/sim/sim_window_server.h"
#include "platform/sim/virtual_scheduler.h"

namespace kd {
namespace {

using screens::display;
using screens::panel;

class ArrangementTest : public ::testing::Test {
  protected:
    VirtualScheduler scheduler;
    VirtualDisplayIdentity virtualDisplay;
};

TEST_F(ArrangementTest, EachSideIsMeasuredFromThePanel) {
    struct Case {
        Side side;
        Rect panel;
        Rect want;
    };
    const Case cases[] = {
        {Side::left, {0, 0, 1512, 982}, {-1920, -98, 1920, 1080}},
        {Side::right, {0, 0, 1512, 982}, {1512, -98, 1920, 1080}},
        {Side::top, {0, 0, 1512, 982}, {-204, -1080, 1920, 1080}},
        {Side::right, {100, 50, 1512, 982}, {1612, -48, 1920, 1080}},
        // Half points are truncated toward zero on both sides of the origin.
        {Side::top, {0, 0, 1513, 982}, {-203, -1080, 1920, 1080}},
        {Side::top, {0, 0, 3841, 982}, {960, -1080, 1920, 1080}},
    };
    for (const auto& c : cases) {
        SimWindowServer server({panel(c.panel), display(9, "DELL U2720Q", {5000, 0, 1920, 1080})},
                               scheduler);
        EXPECT_TRUE(arrange(server, virtualDisplay, c.side, 9)) << toString(c.side);
        EXPECT_EQ(server.bounds(9), c.want) << toString(c.side);
    }
}

TEST_F(ArrangementTest, WithoutADisplayTheFirstExternalOneMovesAndTheVirtualOneNever) {
    SimWindowServer server({display(50, "Virtual", {1512, 0, 1280, 800}), panel(),
                            display(9, "DELL U2720Q", {5000, 0, 1920, 1080})},
                           scheduler);
    virtualDisplay.publish(50);
    EXPECT_TRUE(arrange(server, virtualDisplay, Side::left));
    EXPECT_EQ(server.bounds(9).x, -1920);
    EXPECT_EQ(server.bounds(50).x, 1512);
}

TEST_F(ArrangementTest, NothingToMoveChangesNothing) {
    SimWindowServer server({panel()}, scheduler);
    EXPECT_FALSE(arrange(server, virtualDisplay, Side::left));
    EXPECT_FALSE(setMirror(server, virtualDisplay, true));
    EXPECT_FALSE(isMirrored(server, virtualDisplay));
    EXPECT_EQ(server.bounds(1), (Rect{0, 0, 1512, 982}));
}

TEST_F(ArrangementTest, AFailedTransactionReportsFalseAndChangesNothing) {
    SimWindowServer server({panel(), display(9, "DELL U2720Q", {1512, 0, 1920, 1080})}, scheduler);
    const auto before = server.bounds(9);

    server.failNextBegin(SimWindowServer::kInvalidOperation);
    EXPECT_FALSE(arrange(server, virtualDisplay, Side::left, 9));
    server.failNextComplete(SimWindowServer::kInvalidOperation);
    EXPECT_FALSE(arrange(server, virtualDisplay, Side::top, 9));
    EXPECT_EQ(server.bounds(9), before);

    server.failNextBegin(SimWindowServer::kInvalidOperation);
    EXPECT_FALSE(setMirror(server, virtualDisplay, true, 9));
    server.failNextComplete(SimWindowServer::kInvalidOperation);
    EXPECT_FALSE(setMirror(server, virtualDisplay, true, 9));
    EXPECT_FALSE(isMirrored(server, virtualDisplay, 9));

    EXPECT_FALSE(arrange(server, virtualDisplay, Side::left, 42)) << "a screen that is gone";
    EXPECT_FALSE(setMirror(server, virtualDisplay, true, 42));
    EXPECT_EQ(server.openTransactionCount(), 0u) << "a refused change is cancelled, not left open";
}

TEST_F(ArrangementTest, MirroringSwitchesOnAndOff) {
    SimWindowServer server({panel(), display(9, "DELL U2720Q", {1512, 0, 1920, 1080})}, scheduler);
    EXPECT_TRUE(setMirror(server, virtualDisplay, true));
    EXPECT_EQ(server.mirrorsDisplay(9), 1u);
    EXPECT_TRUE(isMirrored(server, virtualDisplay));
    EXPECT_TRUE(isMirrored(server, virtualDisplay, 9));
    EXPECT_FALSE(isMirrored(server, virtualDisplay, 1));

    EXPECT_TRUE(setMirror(server, virtualDisplay, false, 9));
    EXPECT_EQ(server.mirrorsDisplay(9), 0u);
    EXPECT_FALSE(isMirrored(server, virtualDisplay));
}

// A desktop Mac, or a laptop with its lid shut: no built-in panel is online.
TEST_F(ArrangementTest, WithoutAPanelTheMainScreenIsTheReference) {
    SimWindowServer server({display(3, "LG UltraFine", {0, 0, 2560, 1440}),
                            display(9, "DELL U2720Q", {2560, 0, 1920, 1080})},
                           scheduler);
    EXPECT_TRUE(arrange(server, virtualDisplay, Side::left, 9));
    EXPECT_EQ(server.bounds(9), (Rect{-1920, 360, 1920, 1080}));
    EXPECT_TRUE(setMirror(server, virtualDisplay, true, 9));
    EXPECT_EQ(server.mirrorsDisplay(9), 3u);
}

TEST_F(ArrangementTest, WithoutAPanelAScreenIsNeverPlacedAgainstItselfOrTheVirtualDisplay) {
    SimWindowServer lone({display(3, "LG UltraFine", {0, 0, 2560, 1440})}, scheduler);
    EXPECT_FALSE(arrange(lone, virtualDisplay, Side::left, 3));
    EXPECT_FALSE(setMirror(lone, virtualDisplay, true, 3));
    EXPECT_EQ(lone.bounds(3), (Rect{0, 0, 2560, 1440}));

    SimWindowServer withVirtual({display(50, "Virtual", {0, 0, 1280, 800}),
                                 display(9, "DELL U2720Q", {1280, 0, 1920, 1080})},
                                scheduler);
    virtualDisplay.publish(50);
    EXPECT_FALSE(arrange(withVirtual, virtualDisplay, Side::left, 9));
    EXPECT_FALSE(setMirror(withVirtual, virtualDisplay, true, 9));
    EXPECT_EQ(withVirtual.bounds(9).x, 1280);
}

TEST_F(ArrangementTest, AnOnlinePanelStaysTheReferenceWhereverTheMainScreenIs) {
    SimWindowServer server(
        {display(3, "LG UltraFine", {0, 0, 2560, 1440}), panel({2560, 458, 1512, 982}),
         display(9, "DELL U2720Q", {-1920, 0, 1920, 1080})},
        scheduler);
    EXPECT_TRUE(arrange(server, virtualDisplay, Side::right, 9));
    EXPECT_EQ(server.bounds(9), (Rect{4072, 360, 1920, 1080}));
}

}  // namespace
}  // namespace kd
