#include "transport/host_mac.h"

#include <plist/plist.h>

#include <array>
#include <cctype>
#include <cstdint>
#include <cstdlib>

#include "display/inventory.h"
#include "transport/property_list.h"
#include "transport/tool_runner.h"
#include "transport/utf8.h"

namespace kd {

namespace {

struct ModelFamily {
    const char* prefix;
    MacKind kind;
    const char* name;
};

// First match wins, so "MacBookAir" comes before "MacBook".
constexpr std::array<ModelFamily, 6> kFamilies{{
    {"MacBookAir", MacKind::laptop, "MacBook Air"},
    {"MacBook", MacKind::laptop, "MacBook Pro"},
    {"iMac", MacKind::imac, "iMac"},
    {"Macmini", MacKind::desktop, "Mac mini"},
    {"MacStudio", MacKind::desktop, "Mac Studio"},
    {"MacPro", MacKind::desktop, "Mac Pro"},
}};

// The digits of the first "<digits>-inch" in `text`, or nothing.
std::string screenInches(const std::string& text) {
    for (auto at = text.find("-inch"); at != std::string::npos; at = text.find("-inch", at + 1)) {
        auto begin = at;
        while (begin > 0 && std::isdigit(static_cast<unsigned char>(text[begin - 1]))) --begin;
        if (begin < at) return text.substr(begin, at - begin);
    }
    return {};
}

std::string withoutEvery(std::string text, const std::string& piece) {
    for (auto at = text.find(piece); at != std::string::npos; at = text.find(piece, at)) {
        text.erase(at, piece.size());
    }
    return text;
}

}  // namespace

std::string sysctlString(const SystemTools& tools, const std::string& name) {
    const auto value = tools.kernelValue(name);
    if (!value || value->empty()) return {};
    auto text = value->substr(0, value->find('\0'));
    return isValidUtf8(text) ? text : std::string();
}

std::string productDescription(const SystemTools& tools) {
    const auto out =
        tools.run("/usr/sbin/ioreg", {"-ar", "-d1", "-k", "product-name"}, kDefaultToolTimeout);
    const auto list = parsePropertyList(out);
    if (!list || plist_get_node_type(list.get()) != PLIST_ARRAY ||
        plist_array_get_size(list.get()) == 0) {
        return {};
    }
    const auto first = plist_array_get_item(list.get(), 0);
    if (plist_get_node_type(first) != PLIST_DICT) return {};
    const auto product = plist_dict_get_item(first, "product-name");
    if (product == nullptr || plist_get_node_type(product) != PLIST_DATA) return {};
    char* bytes = nullptr;
    std::uint64_t length = 0;
    plist_get_data_val(product, &bytes, &length);
    std::string name(bytes == nullptr ? "" : bytes, bytes == nullptr ? 0 : length);
    std::free(bytes);
    const auto begin = name.find_first_not_of('\0');
    if (begin == std::string::npos) return {};
    name = name.substr(begin, name.find_last_not_of('\0') - begin + 1);
    return isValidUtf8(name) ? name : std::string();
}

std::string macOSVersion(const SystemTools& tools) {
    const auto version = sysctlString(tools, "kern.osproductversion");
    std::array<long, 3> parts{};
    std::size_t at = 0;
    for (auto& part : parts) {
        if (at >= version.size() || !std::isdigit(static_cast<unsigned char>(version[at]))) break;
        char* end = nullptr;
        part = std::strtol(version.c_str() + at, &end, 10);
        at = static_cast<std::size_t>(end - version.c_str());
        if (at < version.size() && version[at] == '.') ++at;
    }
    return "macOS " + std::to_string(parts[0]) + "." + std::to_string(parts[1]) + "." +
           std::to_string(parts[2]);
}

HostInfo hostMacInfo(const SystemTools& tools, const DisplayServices& displays) {
    const auto model = sysctlString(tools, "hw.model");
    for (const auto& family : kFamilies) {
        if (model.starts_with(family.prefix)) return {family.kind, family.name, family.name};
    }
    for (const auto id : onlineDisplays(displays)) {
        if (displays.isBuiltin(id)) return {MacKind::laptop, "MacBook Pro", "MacBook Pro"};
    }
    return {MacKind::desktop, "Mac", "Mac"};
}

HostInfo hostMacDetails(const HostInfo& base, const SystemTools& tools) {
    const auto description = productDescription(tools);
    if (description.empty()) return base;
    const auto name = description.substr(0, description.find(" ("));
    auto label = name;
    if (const auto inches = screenInches(description); !inches.empty()) {
        label += " " + inches + "\u2033";
    }
    const auto chip = withoutEvery(sysctlString(tools, "machdep.cpu.brand_string"), "Apple ");
    if (!chip.empty()) label += kPartSeparator + chip;
    return {base.kind, name, label};
}

}  // namespace kd
