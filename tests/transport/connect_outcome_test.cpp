#include "transport/connect_outcome.h"

#include <gtest/gtest.h>

namespace kd {
namespace {

TEST(ConnectOutcomeTest, FactsCountOnlyInTheirOrder) {
    struct Case {
        bool rowFound, connected, mirroring;
        ConnectOutcome want;
    };
    const Case cases[] = {
        {false, false, false, ConnectOutcome::notFound},
        {false, true, true, ConnectOutcome::notFound},
        {true, false, false, ConnectOutcome::sessionWithoutDisplay},
        {true, false, true, ConnectOutcome::sessionWithoutDisplay},
        {true, true, true, ConnectOutcome::duplicating},
        {true, true, false, ConnectOutcome::extended},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(connectOutcome(c.rowFound, c.connected, c.mirroring), c.want)
            << c.rowFound << c.connected << c.mirroring;
    }
}

TEST(ConnectOutcomeTest, EachOutcomeHasItsSentence) {
    const std::string tv = "85\" Crystal UHD";
    struct Case {
        ConnectOutcome outcome;
        bool airPlay;
        std::optional<std::string> want;
    };
    const Case cases[] = {
        {ConnectOutcome::extended, true, std::nullopt},
        {ConnectOutcome::extended, false, std::nullopt},
        {ConnectOutcome::duplicating, true,
         tv + " is duplicating this Mac \u2014 press an arrow to extend instead"},
        {ConnectOutcome::duplicating, false,
         tv + " is duplicating this Mac \u2014 press an arrow to extend instead"},
        {ConnectOutcome::sessionWithoutDisplay, true,
         tv + " is connected, but macOS hasn't been told what to send it. Open Displays "
              "settings and set it to extend."},
        {ConnectOutcome::sessionWithoutDisplay, false,
         tv + " connected, but no second screen appeared"},
        {ConnectOutcome::notFound, true,
         tv + " didn't answer \u2014 it may be asleep or on another network"},
        {ConnectOutcome::notFound, false, tv + " didn't answer"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(outcomeMessage(c.outcome, tv, c.airPlay), c.want)
            << static_cast<int>(c.outcome) << " over " << (c.airPlay ? "AirPlay" : "Sidecar");
    }
}

}  // namespace
}  // namespace kd
