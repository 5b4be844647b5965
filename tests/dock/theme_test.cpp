#include "dock/theme.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/sim/sim_appearance.h"

namespace kd {
namespace {

TEST(ThemeTest, StoredTextsReadBackAsTheirChoiceAndAnythingElseAsAuto) {
    for (const auto choice : kAllThemeChoices) {
        EXPECT_EQ(themeFromRaw(rawValue(choice)), choice) << rawValue(choice);
    }
    for (const std::string stored : {"Dark", "LIGHT", "Auto", " dark", "light\n", "", "system"}) {
        EXPECT_EQ(themeFromRaw(stored), ThemeChoice::automatic) << '"' << stored << '"';
    }
}

TEST(ThemeTest, AutoLiftsTheForcedAppearanceInsteadOfForcingLight) {
    SimAppearance appearance;
    const std::vector<std::pair<ThemeChoice, std::optional<AppearanceName>>> steps{
        {ThemeChoice::dark, AppearanceName::dark},
        {ThemeChoice::automatic, std::nullopt},
        {ThemeChoice::light, AppearanceName::light},
        {ThemeChoice::automatic, std::nullopt},
    };
    for (const auto& [choice, forced] : steps) {
        applyTheme(appearance, choice);
        EXPECT_EQ(appearance.forced(), forced) << rawValue(choice);
    }
}

}  // namespace
}  // namespace kd
