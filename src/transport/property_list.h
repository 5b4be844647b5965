#pragma once

// Property lists that come from outside the program (a receiver's reply, a
// tool's output), read with libplist in its binary or XML form.
//
// libplist trusts its input further than a reply from the network deserves:
// it copies a binary list's shared objects once per reference, so a few
// hundred bytes can expand into billions of nodes; it recurses once per level
// while reading binary lists (checking each level against all above it, so
// deep ones also take quadratic time) and while freeing any list, including
// the half-built one of an XML text it gave up on, so deep nesting
// overflows the stack. `parsePropertyList` measures binary input before
// libplist reads it, bounds the nesting XML input can build by counting its
// container tags, and refuses the result when it is too deep: what it
// returns is small and shallow enough for libplist's recursive functions.

#include <plist/plist.h>

#include <cstddef>
#include <memory>
#include <string_view>

namespace kd {

inline constexpr std::size_t kMaxPropertyListBytes = std::size_t{1} << 20;
// Nesting levels, the top one included.
inline constexpr std::size_t kMaxPropertyListDepth = 64;
// Nodes of the tree once every shared object is copied where it is used.
inline constexpr std::size_t kMaxPropertyListNodes = 100'000;
// Bytes of text and data in that tree.
inline constexpr std::size_t kMaxPropertyListPayload = std::size_t{16} << 20;
// Array and dictionary tags in an XML list. libplist's recursive free uses
// about 50 bytes of stack per level, so even a failed list nested this deep
// frees within half a megabyte of stack.
inline constexpr std::size_t kMaxXmlPropertyListContainers = 10'000;

struct PlistFree {
    void operator()(void* plist) const { plist_free(static_cast<plist_t>(plist)); }
};
using PlistPtr = std::unique_ptr<void, PlistFree>;

// The property list in `bytes`; null when they hold none, or one beyond the
// limits above.
PlistPtr parsePropertyList(std::string_view bytes);

}  // namespace kd
