#include "transport/tv_connect_policy.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/sim/sim_frameworks.h"

namespace kd {
namespace {

// The window server's own numbers are read and written in the tests below.
TEST(TVConnectPolicyTest, RawValuesTheWindowServerDoesNotUseAreNone) {
    for (const std::int32_t raw : {3, 5, -1}) {
        EXPECT_EQ(tvConnectPolicyFromRaw(raw), std::nullopt) << raw;
    }
}

// SkyLight with switches per symbol and per answer, logging every call.
class RecordingSkyLight : public SkyLightFramework {
  public:
    struct Call {
        std::string symbol;
        std::int32_t connection = 0;
        std::int32_t policy = 0;
        friend bool operator==(const Call&, const Call&) = default;
    };

    bool hasMain = true, hasGet = true, hasSet = true;
    std::int32_t getResult = 0;
    std::int32_t rawPolicy = 4;
    bool writesPolicy = true;
    std::int32_t setResult = 0;
    mutable std::vector<Call> calls;

    static constexpr std::int32_t kConnection = 77;

    MainConnectionID mainConnectionID() const override {
        if (!hasMain) return {};
        return [this] {
            log({"main"});
            return kConnection;
        };
    }
    GetTVConnectDefaultPolicy getTVConnectDefaultPolicy() const override {
        if (!hasGet) return {};
        return [this](std::int32_t connection, std::int32_t* policy) {
            log({"get", connection, *policy});
            if (writesPolicy) *policy = rawPolicy;
            return getResult;
        };
    }
    SetTVConnectDefaultPolicy setTVConnectDefaultPolicy() const override {
        if (!hasSet) return {};
        return [this](std::int32_t connection, std::int32_t policy) {
            log({"set", connection, policy});
            return setResult;
        };
    }

  private:
    void log(Call call) const { calls.push_back(std::move(call)); }
};

TEST(TVConnectPolicyTest, ReadingAsksOnTheMainConnectionWithAPresetOfMinusOne) {
    auto skyLight = std::make_shared<RecordingSkyLight>();
    EXPECT_EQ(tvConnectPolicy(skyLight), TVConnectPolicy::extended);
    const std::vector<RecordingSkyLight::Call> want = {{"main"},
                                                       {"get", RecordingSkyLight::kConnection, -1}};
    EXPECT_EQ(skyLight->calls, want);
}

TEST(TVConnectPolicyTest, AnythingButAClearAnswerReadsAsNone) {
    struct Case {
        const char* what;
        void (*arrange)(RecordingSkyLight&);
        std::size_t callsWanted;
    };
    const Case cases[] = {
        {"no main connection", [](RecordingSkyLight& s) { s.hasMain = false; }, 0},
        {"no reader", [](RecordingSkyLight& s) { s.hasGet = false; }, 0},
        {"an error", [](RecordingSkyLight& s) { s.getResult = 1000; }, 2},
        {"raw value 3", [](RecordingSkyLight& s) { s.rawPolicy = 3; }, 2},
        {"success without an answer", [](RecordingSkyLight& s) { s.writesPolicy = false; }, 2},
    };
    for (const auto& c : cases) {
        auto skyLight = std::make_shared<RecordingSkyLight>();
        c.arrange(*skyLight);
        EXPECT_EQ(tvConnectPolicy(skyLight), std::nullopt) << c.what;
        EXPECT_EQ(skyLight->calls.size(), c.callsWanted) << c.what;
    }
    EXPECT_EQ(tvConnectPolicy(nullptr), std::nullopt);
}

TEST(TVConnectPolicyTest, SettingPassesTheRawValueAndCallsNothingWhenASymbolIsMissing) {
    auto skyLight = std::make_shared<RecordingSkyLight>();
    EXPECT_TRUE(setTVConnectPolicy(skyLight, TVConnectPolicy::entireScreen));
    const std::vector<RecordingSkyLight::Call> want = {{"main"},
                                                       {"set", RecordingSkyLight::kConnection, 1}};
    EXPECT_EQ(skyLight->calls, want);

    skyLight = std::make_shared<RecordingSkyLight>();
    skyLight->setResult = 1000;
    EXPECT_FALSE(setTVConnectPolicy(skyLight, TVConnectPolicy::extended));

    for (const auto hide : {&RecordingSkyLight::hasMain, &RecordingSkyLight::hasSet}) {
        skyLight = std::make_shared<RecordingSkyLight>();
        (*skyLight).*hide = false;
        EXPECT_FALSE(setTVConnectPolicy(skyLight, TVConnectPolicy::extended));
        EXPECT_TRUE(skyLight->calls.empty());
    }
    EXPECT_FALSE(setTVConnectPolicy(nullptr, TVConnectPolicy::extended));
}

TEST(TVConnectPolicyTest, ARefusingOrIncompleteSkyLightChangesNothing) {
    ScenarioSkyLight refusing;
    refusing.tvConnectPolicy = 0;
    refusing.rejectPolicyChanges = true;
    const auto refuses = std::make_shared<SimSkyLight>(refusing);
    EXPECT_FALSE(setTVConnectPolicy(refuses, TVConnectPolicy::extended));
    EXPECT_EQ(refuses->policy(), 0);
    EXPECT_EQ(tvConnectPolicy(refuses), TVConnectPolicy::ask);

    ScenarioSkyLight withoutSetter;
    withoutSetter.tvConnectPolicy = 2;
    withoutSetter.missingSymbols = {"SLSSetTVConnectDefaultPolicy"};
    const auto readOnly = std::make_shared<SimSkyLight>(withoutSetter);
    EXPECT_FALSE(setTVConnectPolicy(readOnly, TVConnectPolicy::extended));
    EXPECT_EQ(readOnly->policy(), 2);
    EXPECT_EQ(tvConnectPolicy(readOnly), TVConnectPolicy::windowOrApp);
}

}  // namespace
}  // namespace kd
