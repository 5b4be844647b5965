#include "lid/text_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "support/files.h"

namespace kd {
namespace {

namespace fs = std::filesystem;

TEST(TextFileTest, WritingMakesTheFoldersAndReplacesTheWholeFile) {
    testing::ScratchDir scratch;
    const auto file = (scratch.path() / "a b/c'd/config").string();
    ASSERT_TRUE(writeTextFile(file, "52\n"));
    ASSERT_TRUE(writeTextFile(file, "7\n"));
    EXPECT_EQ(readTextFile(file), "7\n");
    EXPECT_EQ(fs::status(file).permissions(), fs::perms::owner_read | fs::perms::owner_write |
                                                  fs::perms::group_read | fs::perms::others_read);
    EXPECT_EQ(std::distance(fs::directory_iterator(fs::path(file).parent_path()),
                            fs::directory_iterator()),
              1)
        << "no temporary file is left behind";
}

TEST(TextFileTest, AFailedWriteLeavesNothingAndSaysSo) {
    testing::ScratchDir scratch;
    const auto blocker = (scratch.path() / "home").string();
    std::ofstream(blocker) << "a file where a folder belongs";
    EXPECT_FALSE(writeTextFile(blocker + "/config", "52\n"));
    EXPECT_EQ(std::distance(fs::directory_iterator(scratch.path()), fs::directory_iterator()), 1);
}

TEST(TextFileTest, OnlyReadableUtf8IsRead) {
    testing::ScratchDir scratch;
    const auto file = (scratch.path() / "temp").string();
    EXPECT_EQ(readTextFile(file), std::nullopt);
    std::ofstream(file, std::ios::binary) << "caf\xe9";
    EXPECT_EQ(readTextFile(file), std::nullopt);
    std::ofstream(file, std::ios::binary) << "caf\xc3\xa9";
    EXPECT_EQ(readTextFile(file), "caf\xc3\xa9");
}

}  // namespace
}  // namespace kd
