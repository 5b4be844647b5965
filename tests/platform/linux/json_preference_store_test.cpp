#include "platform/linux/json_preference_store.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <limits>
#include <nlohmann/json.hpp>
#include <optional>
#include <random>
#include <regex>
#include <thread>

#include "support/files.h"
#include "support/saved_variable.h"

namespace kd {
namespace {

namespace fs = std::filesystem;

void writeBytes(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

std::string utcStampAt(std::time_t when) {
    std::tm utc{};
    gmtime_r(&when, &utc);
    char text[32];
    return {text, std::strftime(text, sizeof text, "%Y%m%dT%H%M%SZ", &utc)};
}

// "prefs.json.corrupt-" YYYYMMDD "T" HHMMSS "Z", then maybe "-" and a counter.
bool isQuarantineName(const std::string& name) {
    return std::regex_match(name, std::regex(R"(prefs\.json\.corrupt-\d{8}T\d{6}Z(-\d+)?)"));
}

// The seed of a randomised test: KD_TEST_SEED when set, so a failure can be
// replayed, else a fresh one. Nothing when KD_TEST_SEED is not a seed.
std::optional<std::uint32_t> testSeed() {
    const char* text = std::getenv("KD_TEST_SEED");
    if (text == nullptr) return std::random_device{}();
    std::uint32_t seed = 0;
    const auto end = text + std::strlen(text);
    const auto [stop, error] = std::from_chars(text, end, seed);
    if (error != std::errc() || stop != end || stop == text) return std::nullopt;
    return seed;
}

class JsonPreferenceStoreTest : public ::testing::Test {
  protected:
    std::vector<fs::path> entriesContaining(const std::string& infix) const {
        std::vector<fs::path> found;
        for (const auto& entry : fs::directory_iterator(dir_)) {
            if (entry.path().filename().string().find(infix) != std::string::npos) {
                found.push_back(entry.path());
            }
        }
        return found;
    }

    const testing::ScratchDir scratch_;
    const fs::path& dir_ = scratch_.path();
    const fs::path file_ = dir_ / "prefs.json";
};

TEST(Base64, MatchesTheStandardAlphabetAtEveryTailLength) {
    const std::vector<std::pair<std::string, std::string>> vectors = {
        {"", ""}, {"f", "Zg=="}, {"fo", "Zm8="}, {"foo", "Zm9v"}, {"foob", "Zm9vYg=="}};
    for (const auto& [plain, encoded] : vectors) {
        const PrefData bytes(plain.begin(), plain.end());
        EXPECT_EQ(base64Encode(bytes), encoded);
        EXPECT_EQ(base64Decode(encoded), bytes);
    }
    PrefData everyByte;
    for (int b = 0; b < 256; ++b) everyByte.push_back(static_cast<std::uint8_t>(b));
    const std::string encoded = base64Encode(everyByte);
    EXPECT_EQ(encoded.substr(0, 8), "AAECAwQF");
    EXPECT_EQ(encoded.substr(encoded.size() - 12), "+fr7/P3+/w==");
    EXPECT_EQ(base64Decode(encoded), everyByte);
    for (std::size_t length = 1; length <= 3; ++length) {
        for (int b = 0; b < 256; ++b) {
            const PrefData bytes(length, static_cast<std::uint8_t>(b));
            EXPECT_EQ(base64Decode(base64Encode(bytes)), bytes) << length << " x " << b;
        }
    }
}

TEST(Base64, RejectsAnythingButCanonicalPaddedText) {
    for (const char* bad :
         {"Zg", "Zg=", "Zg=A", "Z===", "====", "Zh==", "Zm9=", "Zm9v\n", "Zm-v", "Zg==Zg=="}) {
        EXPECT_FALSE(base64Decode(bad)) << bad;
    }
}

TEST_F(JsonPreferenceStoreTest, EveryTypeSurvivesReopeningExactly) {
    PrefData everyByte;
    for (int b = 0; b < 256; ++b) everyByte.push_back(static_cast<std::uint8_t>(b));
    const PrefDict written = {
        {"bool", false},
        {"int.min", std::numeric_limits<std::int64_t>::min()},
        {"int.max", std::numeric_limits<std::int64_t>::max()},
        {"double.whole", 2.0},
        {"double.negativeZero", -0.0},
        {"double.tiny", 4.9e-324},
        {"double.tenth", 0.1},
        {"double.inf", -std::numeric_limits<double>::infinity()},
        {"text", "Écran \"⌘\" 🖥\n"},
        {"text.empty", ""},
        {"data", everyByte},
        {"data.empty", PrefData{}},
        {"nested", PrefArray{PrefDict{{"k", PrefArray{1, 2.0, "x"}}}, PrefArray{}, PrefDict{}}},
    };
    {
        JsonPreferenceStore store(file_);
        for (const auto& [key, value] : written) store.set(key, value);
        store.set("double.nan", std::numeric_limits<double>::quiet_NaN());
        // Text that is not UTF-8 must not hold back the write of the rest.
        EXPECT_NO_THROW(store.set("text.malformed", std::string("a\xff") + "b"));
        EXPECT_FALSE(store.lastWriteError());
    }
    const JsonPreferenceStore reopened(file_);
    for (const auto& [key, value] : written) EXPECT_EQ(reopened.value(key), value) << key;
    ASSERT_TRUE(reopened.value("double.whole")->asDouble());
    EXPECT_TRUE(std::signbit(*reopened.number("double.negativeZero")));
    EXPECT_TRUE(std::isnan(reopened.number("double.nan").value_or(0)));
    EXPECT_EQ(reopened.text("text.malformed"), "a\uFFFDb");

    const auto document = nlohmann::json::parse(testing::fileText(file_));
    EXPECT_EQ(document["version"], 1);
    EXPECT_EQ(document["values"]["text.empty"], nlohmann::json({{"text", ""}}));
    EXPECT_TRUE(document["values"]["double.whole"]["double"].is_number_float());
}

TEST_F(JsonPreferenceStoreTest, AnotherInstanceSeesWritesAndRemovalsAfterReopening) {
    JsonPreferenceStore first(file_);
    first.set("a", "one");
    first.set("b", true);
    JsonPreferenceStore second(file_);
    EXPECT_EQ(second.text("a"), "one");
    second.remove("a");
    second.remove("never-there");
    const JsonPreferenceStore third(file_);
    EXPECT_FALSE(third.value("a"));
    EXPECT_EQ(third.boolValue("b"), true);
}

TEST_F(JsonPreferenceStoreTest, UnreadableFileIsMovedAsideIntactAndAFreshOneWritten) {
    const std::vector<std::string> unreadable = {
        std::string("\x00\xff garbage {", 12),
        "",
        R"([1, 2])",
        R"({"version": 2, "values": {}})",
        R"({"version": 1, "values": {}, "extra": 0})",
        R"({"version": 1, "values": {"k": {"data": "Zh=="}}})",
        R"({"version": 1, "values": {"k": {"float": 1.5}}})",
        R"({"version": 1, "values": {"k": {"integer": 1.5}}})",
        R"({"version": 1, "values": {"k": {"integer": 9223372036854775808}}})",
        R"({"version": 1, "values": {"k": {"bool": true, "text": "x"}}})",
        R"({"version": 1, "values": {"k": {"array": [{"dict": {"x": 1}}]}}})",
    };
    for (const auto& contents : unreadable) {
        SCOPED_TRACE(contents);
        writeBytes(file_, contents);
        JsonPreferenceStore store(file_);
        ASSERT_TRUE(store.quarantinedFile());
        const fs::path aside = *store.quarantinedFile();
        EXPECT_TRUE(isQuarantineName(aside.filename())) << aside;
        EXPECT_EQ(testing::fileText(aside), contents);
        EXPECT_FALSE(fs::exists(file_));
        EXPECT_FALSE(store.value("k"));

        store.set("fresh", 1);
        EXPECT_EQ(JsonPreferenceStore(file_).integer("fresh"), 1);
        EXPECT_EQ(testing::fileText(aside), contents);
        fs::remove(aside);
        fs::remove(file_);
    }
}

TEST_F(JsonPreferenceStoreTest, QuarantineNeverReplacesAnEarlierOne) {
    const std::time_t now = std::time(nullptr);
    for (std::time_t second = now; second <= now + 1; ++second) {
        writeBytes(dir_ / ("prefs.json.corrupt-" + utcStampAt(second)), "earlier");
    }
    writeBytes(file_, "not json");
    const JsonPreferenceStore store(file_);
    ASSERT_TRUE(store.quarantinedFile());
    EXPECT_TRUE(isQuarantineName(store.quarantinedFile()->filename()));
    EXPECT_TRUE(store.quarantinedFile()->filename().string().ends_with("Z-1"));
    EXPECT_EQ(testing::fileText(*store.quarantinedFile()), "not json");
    for (const auto& earlier : entriesContaining("Z")) {
        if (earlier != *store.quarantinedFile()) {
            EXPECT_EQ(testing::fileText(earlier), "earlier");
        }
    }
}

TEST_F(JsonPreferenceStoreTest, FailedWriteKeepsMemoryAndTheNextWriteCarriesIt) {
    const fs::path blocker = dir_ / "blocker";
    writeBytes(blocker, "a plain file where a directory should be");
    const fs::path file = blocker / "prefs.json";
    JsonPreferenceStore store(file);
    EXPECT_FALSE(store.quarantinedFile());

    store.set("a", 1);
    EXPECT_TRUE(store.lastWriteError());
    EXPECT_EQ(store.integer("a"), 1);
    EXPECT_EQ(testing::fileText(blocker), "a plain file where a directory should be");

    fs::remove(blocker);
    fs::create_directory(blocker);
    store.set("b", 2);
    EXPECT_FALSE(store.lastWriteError());
    const JsonPreferenceStore reopened(file);
    EXPECT_EQ(reopened.integer("a"), 1);
    EXPECT_EQ(reopened.integer("b"), 2);
}

TEST_F(JsonPreferenceStoreTest, ConcurrentWritersAndReadersLoseNothing) {
    constexpr int kThreads = 8;
    constexpr int kKeysEach = 25;
    JsonPreferenceStore store(file_);
    std::vector<std::thread> threads;
    threads.reserve(kThreads);
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&store, t] {
            for (int k = 0; k < kKeysEach; ++k) {
                const std::string key = std::to_string(t) + "." + std::to_string(k);
                store.set(key, t * 1000 + k);
                EXPECT_EQ(store.integer(key), t * 1000 + k);
                // A key another thread is writing, for the thread sanitizer.
                store.value(std::to_string((t + 1) % kThreads) + "." + std::to_string(k));
            }
        });
    }
    for (auto& thread : threads) thread.join();
    const JsonPreferenceStore reopened(file_);
    for (int t = 0; t < kThreads; ++t) {
        for (int k = 0; k < kKeysEach; ++k) {
            EXPECT_EQ(reopened.integer(std::to_string(t) + "." + std::to_string(k)), t * 1000 + k);
        }
    }
    EXPECT_TRUE(entriesContaining(".tmp-").empty());
}

TEST_F(JsonPreferenceStoreTest, OpeningRemovesOnlyTemporariesOfDeadWriters) {
    const pid_t dead = fork();
    if (dead == 0) _exit(0);
    ASSERT_EQ(waitpid(dead, nullptr, 0), dead);
    const std::vector<std::string> kept = {
        "prefs.json.tmp-" + std::to_string(getpid()) + "-abcdef",
        "other.json.tmp-" + std::to_string(dead) + "-abcdef",
        "prefs.json.tmp-x-abcdef",
    };
    for (const auto& name : kept) writeBytes(dir_ / name, "");
    writeBytes(dir_ / ("prefs.json.tmp-" + std::to_string(dead) + "-abcdef"), "{half");

    const JsonPreferenceStore store(file_);
    EXPECT_FALSE(store.quarantinedFile());
    EXPECT_FALSE(fs::exists(dir_ / ("prefs.json.tmp-" + std::to_string(dead) + "-abcdef")));
    for (const auto& name : kept) EXPECT_TRUE(fs::exists(dir_ / name)) << name;
}

TEST_F(JsonPreferenceStoreTest, KilledWriterLeavesAWholeFileWithEveryAcknowledgedKey) {
#if defined(__SANITIZE_THREAD__)
    // Each killed writer is one single-threaded process, so the thread
    // sanitizer has nothing to find here and only slows its start-up
    // tenfold; the plain and address-sanitizer builds run it.
    GTEST_SKIP() << "crash safety is checked without the thread sanitizer";
#endif
    constexpr int kRounds = 20;
    constexpr std::uint32_t kMaxChildWrites = 400;
    // Big values make each write long enough for kills to land inside one.
    const PrefData otherBlob(1 << 19, 0x5A);
    const PrefDict others = {{"other.blob", otherBlob}, {"other.text", "kept"}, {"other.int", 42}};
    {
        JsonPreferenceStore store(file_);
        for (const auto& [key, value] : others) store.set(key, value);
    }
    const auto childKey = [](int round, std::uint32_t i) {
        return "r" + std::to_string(round) + "." + std::to_string(i);
    };
    const auto childValue = [](std::uint32_t i) { return PrefValue(std::int64_t{i} * 7919); };

    const auto seed = testSeed();
    ASSERT_TRUE(seed) << "KD_TEST_SEED is not a number from 0 to 4294967295";
    SCOPED_TRACE("seed " + std::to_string(*seed) +
                 "; replay with KD_TEST_SEED=" + std::to_string(*seed));
    std::mt19937 random(*seed);
    std::uniform_int_distribution<int> delayUs(0, 20000);
    std::vector<std::uint32_t> durable;  // keys of each round found in the file

    for (int round = 0; round < kRounds; ++round) {
        int acks[2];
        ASSERT_EQ(pipe(acks), 0);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            // Gone with the test, should it be stopped from outside mid-round:
            // a writer left running would hold the test's output open.
            prctl(PR_SET_PDEATHSIG, SIGKILL);
            close(acks[0]);
            JsonPreferenceStore store(file_);
            for (std::uint32_t i = 0; i < kMaxChildWrites; ++i) {
                if (i % 4 == 0) {
                    store.set("child.big", PrefData(1 << 18, static_cast<std::uint8_t>(i)));
                }
                store.set(childKey(round, i), childValue(i));
                if (write(acks[1], &i, sizeof i) != sizeof i) _exit(1);
            }
            _exit(0);
        }
        close(acks[1]);
        // Killing only once writes are under way keeps the slow start-up
        // (loading the big values) from absorbing every kill. The bound only
        // proves that the child started: under the thread sanitizer on busy
        // cores its first write alone can take well over ten seconds.
        pollfd firstAck{acks[0], POLLIN, 0};
        const bool started = poll(&firstAck, 1, 120'000) == 1;
        std::this_thread::sleep_for(std::chrono::microseconds(delayUs(random)));
        kill(child, SIGKILL);
        ASSERT_EQ(waitpid(child, nullptr, 0), child);
        ASSERT_TRUE(started);
        std::uint32_t acknowledged = 0;
        for (std::uint32_t i = 0; read(acks[0], &i, sizeof i) == sizeof i;) acknowledged = i + 1;
        close(acks[0]);

        ASSERT_LE(entriesContaining(".tmp-").size(), 1U);
        ASSERT_FALSE(
            nlohmann::json::parse(testing::fileText(file_), nullptr, false).is_discarded());
        const JsonPreferenceStore reopened(file_);
        ASSERT_FALSE(reopened.quarantinedFile());
        EXPECT_TRUE(entriesContaining(".tmp-").empty());
        for (const auto& [key, value] : others) ASSERT_EQ(reopened.value(key), value) << key;

        std::uint32_t found = 0;
        while (reopened.value(childKey(round, found))) ++found;
        ASSERT_GE(found, acknowledged);
        ASSERT_LE(found, acknowledged + 1);
        durable.push_back(found);
        for (int r = 0; r <= round; ++r) {
            for (std::uint32_t i = 0; i < durable[r]; ++i) {
                ASSERT_EQ(reopened.value(childKey(r, i)), childValue(i)) << childKey(r, i);
            }
            ASSERT_FALSE(reopened.value(childKey(r, durable[r]))) << childKey(r, durable[r]);
        }
    }
}

TEST_F(JsonPreferenceStoreTest, FilePathFollowsXdgThenHomeAndMakesTheDirectory) {
    const testing::SavedVariable home("HOME", dir_ / "home");
    const testing::SavedVariable xdg("XDG_CONFIG_HOME", dir_ / "xdg");
    EXPECT_EQ(preferenceFilePath("app"), dir_ / "xdg" / "kelvane-display" / "app.json");
    EXPECT_TRUE(fs::is_directory(dir_ / "xdg" / "kelvane-display"));

    for (const char* ignored : {"", "relative/dir"}) {
        setenv("XDG_CONFIG_HOME", ignored, 1);
        EXPECT_EQ(preferenceFilePath("app"),
                  dir_ / "home" / ".config" / "kelvane-display" / "app.json");
    }
    unsetenv("XDG_CONFIG_HOME");
    EXPECT_TRUE(fs::is_directory(fs::path(preferenceFilePath("app")).parent_path()));

    for (const char* bad : {"", ".", "..", "a/b"}) {
        EXPECT_THROW(preferenceFilePath(bad), std::invalid_argument) << bad;
    }
    unsetenv("HOME");
    EXPECT_THROW(preferenceFilePath("app"), std::runtime_error);
}

}  // namespace
}  // namespace kd
