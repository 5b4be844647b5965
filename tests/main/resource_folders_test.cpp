#include "main/resource_folders.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace kd {
namespace {

namespace fs = std::filesystem;

TEST(ResourceFoldersTest, BesideTheProgramFirstThenAnInstalledCopysShareFolder) {
    const auto root = fs::path(::testing::TempDir()) / "kd-resource-folders";
    fs::remove_all(root);
    const auto bin = root / "bin";
    const auto beside = bin / "Sounds";
    const auto installed = root / "share" / "kelvane-display" / "Sounds";
    fs::create_directories(bin);

    EXPECT_EQ(findResourceFolder(kSoundsFolderName, bin), beside);  // neither: the first
    fs::create_directories(installed);
    EXPECT_EQ(findResourceFolder(kSoundsFolderName, bin), installed);
    fs::create_directories(beside);
    EXPECT_EQ(findResourceFolder(kSoundsFolderName, bin), beside);
    fs::remove_all(root);
}

TEST(ResourceFoldersTest, TheBuildPutsTheSoundsBesideTheProgram) {
    // These tests run from the program's own folder.
    EXPECT_TRUE(fs::is_regular_file(resourceFolder(kSoundsFolderName) / "WaterBubble_rev.aiff"));
    EXPECT_TRUE(fs::is_regular_file(resourceFolder(kSystemSoundsFolderName) / "Submarine.aiff"));
}

}  // namespace
}  // namespace kd
