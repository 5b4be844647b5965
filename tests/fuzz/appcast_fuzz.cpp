// Arbitrary bytes fed to what reads the update feed, and to the version
// order that compares what it lists: up to the first NUL, and after it.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "update/appcast.h"
#include "update/version_order.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    kd::newestAppcastItem(bytes);
    const auto split = bytes.find('\0');
    const auto first = bytes.substr(0, split);
    const auto second = split == std::string_view::npos ? first : bytes.substr(split + 1);
    const int order = kd::compareVersions(first, second);
    if (order != -kd::compareVersions(second, first)) __builtin_trap();
    return 0;
}
