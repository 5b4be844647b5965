#include "transport/host_mac.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "../display/sim_screens.h"
#include "platform/sim/sim_system_tools.h"
#include "platform/sim/sim_window_server.h"
#include "platform/sim/virtual_scheduler.h"

namespace kd {
namespace {

ScenarioMac mac(std::string model, std::string product = "", std::string cpu = "") {
    ScenarioMac m;
    m.model = std::move(model);
    m.productName = std::move(product);
    m.cpuBrand = std::move(cpu);
    return m;
}

TEST(HostMacTest, TheModelIdentifierSaysWhichMacThisIs) {
    VirtualScheduler scheduler;
    SimWindowServer laptop({screens::panel()}, scheduler);
    SimWindowServer desk({screens::display(2, "Studio Display", {0, 0, 2560, 1440})}, scheduler);
    struct Case {
        const char* model;
        const SimWindowServer& displays;
        HostInfo want;
    };
    const std::vector<Case> cases = {
        {"MacBookAir10,1", desk, {MacKind::laptop, "MacBook Air", "MacBook Air"}},
        {"MacBookPro18,3", desk, {MacKind::laptop, "MacBook Pro", "MacBook Pro"}},
        {"iMac21,1", laptop, {MacKind::imac, "iMac", "iMac"}},
        {"Macmini9,1", laptop, {MacKind::desktop, "Mac mini", "Mac mini"}},
        {"MacStudio1,1", desk, {MacKind::desktop, "Mac Studio", "Mac Studio"}},
        {"MacPro7,1", desk, {MacKind::desktop, "Mac Pro", "Mac Pro"}},
        {"Mac15,6", laptop, {MacKind::laptop, "MacBook Pro", "MacBook Pro"}},
        {"Mac14,13", desk, {MacKind::desktop, "Mac", "Mac"}},
        {"", desk, {MacKind::desktop, "Mac", "Mac"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(hostMacInfo(SimSystemTools(mac(c.model)), c.displays), c.want) << c.model;
    }
}

TEST(HostMacTest, DetailsAddTheScreenSizeAndTheChipToTheProductName) {
    const HostInfo base{MacKind::laptop, "MacBook Pro", "MacBook Pro"};
    struct Case {
        const char* product;
        const char* cpu;
        HostInfo want;
    };
    const std::vector<Case> cases = {
        {"MacBook Pro (14-inch, 2023)",
         "Apple M2 Pro",
         {MacKind::laptop, "MacBook Pro", "MacBook Pro 14\u2033 \u00B7 M2 Pro"}},
        {"Mac mini (2023)", "Apple M2", {MacKind::laptop, "Mac mini", "Mac mini \u00B7 M2"}},
        {"iMac (24-inch, M1, 2021)", "", {MacKind::laptop, "iMac", "iMac 24\u2033"}},
        {"MacBook Pro (Retina-inch, 16-inch)",
         "Apple ",
         {MacKind::laptop, "MacBook Pro", "MacBook Pro 16\u2033"}},
        {"Mac Studio",
         "Intel(R) Xeon(R)",
         {MacKind::laptop, "Mac Studio", "Mac Studio \u00B7 Intel(R) Xeon(R)"}},
        {"", "Apple M3", base},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(hostMacDetails(base, SimSystemTools(mac("Mac15,6", c.product, c.cpu))), c.want)
            << c.product;
    }
}

TEST(HostMacTest, AnUnreadableRegistryDescribesNoProduct) {
    SimSystemTools tools(mac("Mac15,6", "unused"));
    const auto answering = [&](std::string out) {
        tools.answer("/usr/sbin/ioreg", [out](const std::vector<std::string>&) { return out; });
        return productDescription(tools);
    };
    EXPECT_EQ(answering(productNameRegistry("MacBook Air (15-inch, M3, 2024)")),
              "MacBook Air (15-inch, M3, 2024)");
    const auto plist = [](const std::string& body) {
        return "<?xml version=\"1.0\"?><plist version=\"1.0\">" + body + "</plist>";
    };
    // NULs on both ends go; "AE1hYwA=" is "\0Mac\0".
    EXPECT_EQ(answering(plist("<array><dict><key>product-name</key><data>AE1hYwA=</data></dict>"
                              "</array>")),
              "Mac");
    EXPECT_EQ(answering(""), "");
    EXPECT_EQ(answering("not a property list"), "");
    EXPECT_EQ(answering(plist("<dict><key>product-name</key><data>TWFj</data></dict>")), "");
    EXPECT_EQ(answering(plist("<array/>")), "");
    EXPECT_EQ(answering(plist("<array><string>x</string></array>")), "");
    EXPECT_EQ(answering(plist("<array><dict><key>product-name</key><string>Mac</string></dict>"
                              "</array>")),
              "");
    EXPECT_EQ(answering(plist("<array><dict><key>product-name</key><data>/w==</data></dict>"
                              "</array>")),
              "");  // not UTF-8
}

TEST(HostMacTest, KernelTextEndsAtItsFirstNul) {
    SimSystemTools tools(mac("Mac15,6", "", "Apple M3 Pro"));
    EXPECT_EQ(sysctlString(tools, "hw.model"), "Mac15,6");
    EXPECT_EQ(sysctlString(tools, "machdep.cpu.brand_string"), "Apple M3 Pro");
    EXPECT_EQ(sysctlString(tools, "kern.nonsense"), "");
}

TEST(HostMacTest, TheSystemVersionAlwaysHasThreeNumbers) {
    for (const auto& [kernel, want] :
         std::vector<std::pair<std::string, std::string>>{{"14.5", "macOS 14.5.0"},
                                                          {"13.6.7", "macOS 13.6.7"},
                                                          {"15", "macOS 15.0.0"},
                                                          {"", "macOS 0.0.0"},
                                                          {"beta", "macOS 0.0.0"}}) {
        ScenarioMac m = mac("Mac15,6");
        m.osVersion = kernel;
        EXPECT_EQ(macOSVersion(SimSystemTools(m)), want) << kernel;
    }
}

}  // namespace
}  // namespace kd
