#include "transport/property_list.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <utility>
#include <vector>

namespace kd {

namespace {

// ---- Binary lists: measured before libplist sees them ----------------------

constexpr std::string_view kBinaryMagic = "bplist00";
constexpr std::size_t kTrailerBytes = 32;

std::uint64_t readBigEndian(std::string_view bytes, std::size_t at, std::size_t width) {
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < width; ++i) {
        value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
    }
    return value;
}

// One object's place in the tree: where its references are, and the text or
// data it carries.
struct ObjectShape {
    std::size_t refsAt = 0;
    std::uint64_t refCount = 0;
    std::uint64_t payload = 0;
};

// What one object becomes once libplist has copied it into every place that
// refers to it.
struct Expanded {
    std::uint64_t nodes = 0;
    std::uint64_t payload = 0;
    std::size_t depth = 0;
};

class BinaryListShape {
  public:
    explicit BinaryListShape(std::string_view bytes) : bytes_(bytes) {}

    // False when the list is malformed or its expanded tree exceeds a limit.
    bool withinLimits() {
        if (bytes_.size() < kBinaryMagic.size() + kTrailerBytes) return false;
        const std::size_t trailer = bytes_.size() - kTrailerBytes;
        offsetWidth_ = static_cast<unsigned char>(bytes_[trailer + 6]);
        refWidth_ = static_cast<unsigned char>(bytes_[trailer + 7]);
        const std::uint64_t objects = readBigEndian(bytes_, trailer + 8, 8);
        const std::uint64_t root = readBigEndian(bytes_, trailer + 16, 8);
        const std::uint64_t table = readBigEndian(bytes_, trailer + 24, 8);
        if (offsetWidth_ < 1 || offsetWidth_ > 8 || refWidth_ < 1 || refWidth_ > 8) return false;
        if (objects == 0 || objects > kMaxPropertyListNodes || root >= objects) return false;
        if (table < kBinaryMagic.size() || table >= trailer) return false;
        if (objects > (trailer - table) / offsetWidth_) return false;
        table_ = static_cast<std::size_t>(table);
        objectCount_ = static_cast<std::size_t>(objects);
        return expand(static_cast<std::size_t>(root));
    }

  private:
    enum class Visit : std::uint8_t { notYet, open, done };

    std::optional<ObjectShape> shapeOf(std::size_t index) const {
        const std::uint64_t at = readBigEndian(bytes_, table_ + index * offsetWidth_, offsetWidth_);
        if (at < kBinaryMagic.size() || at >= table_) return std::nullopt;
        std::size_t pos = static_cast<std::size_t>(at);
        const auto marker = static_cast<unsigned char>(bytes_[pos++]);
        const unsigned type = marker >> 4;
        std::uint64_t count = marker & 0x0F;
        const bool counted =
            type == 0x4 || type == 0x5 || type == 0x6 || type == 0xA || type == 0xC || type == 0xD;
        if (counted && count == 0x0F) {
            if (pos >= table_) return std::nullopt;
            const auto sizeMarker = static_cast<unsigned char>(bytes_[pos++]);
            const std::size_t width = std::size_t{1} << (sizeMarker & 0x0F);
            if ((sizeMarker >> 4) != 0x1 || width > 8 || width > table_ - pos) return std::nullopt;
            count = readBigEndian(bytes_, pos, width);
            pos += width;
        }
        ObjectShape shape;
        switch (type) {
            case 0x4:  // data
            case 0x5:  // ASCII text
                if (count > kMaxPropertyListPayload) return std::nullopt;
                shape.payload = count;
                break;
            case 0x6:  // UTF-16 text, which grows by half as UTF-8
                if (count > kMaxPropertyListPayload) return std::nullopt;
                shape.payload = count * 3;
                break;
            case 0xA:  // array
            case 0xC:  // set
                shape.refCount = count;
                break;
            case 0xD:  // dictionary: the keys' references, then the values'
                if (count > UINT64_MAX / 2) return std::nullopt;
                shape.refCount = count * 2;
                break;
            case 0x0:  // null, booleans
            case 0x1:  // integer
            case 0x2:  // real
            case 0x3:  // date
            case 0x8:  // uid
                break;
            default:
                return std::nullopt;
        }
        if (shape.refCount > (table_ - pos) / refWidth_) return std::nullopt;
        shape.refsAt = pos;
        return shape;
    }

    // Depth-first over the object graph with a stack of our own, each object
    // measured once however often it is referred to.
    bool expand(std::size_t root) {
        struct Frame {
            std::size_t index;
            ObjectShape shape;
            std::uint64_t nextRef = 0;
            Expanded sum;
        };
        std::vector<Visit> visit(objectCount_, Visit::notYet);
        std::vector<Expanded> expanded(objectCount_);
        std::vector<Frame> stack;

        auto open = [&](std::size_t index) {
            const auto shape = shapeOf(index);
            if (!shape || stack.size() >= kMaxPropertyListDepth) return false;
            visit[index] = Visit::open;
            stack.push_back({index, *shape, 0, {1, shape->payload, 0}});
            return true;
        };
        if (!open(root)) return false;
        while (!stack.empty()) {
            Frame& top = stack.back();
            if (top.nextRef < top.shape.refCount) {
                const std::uint64_t child =
                    readBigEndian(bytes_, top.shape.refsAt + top.nextRef * refWidth_, refWidth_);
                ++top.nextRef;
                if (child >= objectCount_) return false;
                const auto c = static_cast<std::size_t>(child);
                if (visit[c] == Visit::open) return false;  // a cycle
                if (visit[c] == Visit::notYet) {
                    if (!open(c)) return false;
                    continue;
                }
                if (!add(top.sum, expanded[c])) return false;
                continue;
            }
            const Frame done = top;
            stack.pop_back();
            visit[done.index] = Visit::done;
            expanded[done.index] = done.sum;
            if (!stack.empty() && !add(stack.back().sum, done.sum)) return false;
        }
        // Shared objects were measured where first met; the depth of the
        // whole tree counts each one at its deepest use.
        return expanded[root].depth < kMaxPropertyListDepth;
    }

    static bool add(Expanded& parent, const Expanded& child) {
        parent.nodes += child.nodes;
        parent.payload += child.payload;
        parent.depth = std::max(parent.depth, child.depth + 1);
        return parent.nodes <= kMaxPropertyListNodes && parent.payload <= kMaxPropertyListPayload &&
               parent.depth < kMaxPropertyListDepth;
    }

    std::string_view bytes_;
    std::size_t offsetWidth_ = 0;
    std::size_t refWidth_ = 0;
    std::size_t table_ = 0;
    std::size_t objectCount_ = 0;
};

// ---- XML lists: libplist reads them without recursion, but frees recursively,
// also the half-built tree of a list it gave up on --------------------------

// Every array or dictionary libplist builds from XML starts with one of these
// tags, wherever comments, quotes or errors put it, so their count bounds
// the depth of any tree it builds, failed ones included. Empty forms build no
// nesting and are not counted.
std::size_t containerTags(std::string_view xml) {
    std::size_t count = 0;
    for (const std::string_view tag : {std::string_view("<array"), std::string_view("<dict")}) {
        for (auto at = xml.find(tag); at != std::string_view::npos; at = xml.find(tag, at + 1)) {
            if (xml.substr(at + tag.size(), 2) != "/>") ++count;
        }
    }
    return count;
}

struct FreeIterator {
    void operator()(void* iterator) const { std::free(iterator); }
};
using IteratorPtr = std::unique_ptr<void, FreeIterator>;

IteratorPtr childIterator(plist_t node) {
    void* iterator = nullptr;
    if (plist_get_node_type(node) == PLIST_ARRAY) plist_array_new_iter(node, &iterator);
    if (plist_get_node_type(node) == PLIST_DICT) plist_dict_new_iter(node, &iterator);
    return IteratorPtr(iterator);
}

plist_t nextChild(plist_t node, void* iterator) {
    plist_t child = nullptr;
    if (plist_get_node_type(node) == PLIST_ARRAY) plist_array_next_item(node, iterator, &child);
    if (plist_get_node_type(node) == PLIST_DICT) {
        plist_dict_next_item(node, iterator, nullptr, &child);
    }
    return child;
}

// Levels of the tree, the top one included, counted without recursion.
std::size_t depthOf(plist_t root) {
    struct Frame {
        plist_t node;
        IteratorPtr children;
    };
    std::size_t deepest = 0;
    std::vector<Frame> stack;
    stack.push_back({root, childIterator(root)});
    while (!stack.empty()) {
        deepest = std::max(deepest, stack.size());
        Frame& top = stack.back();
        plist_t child = top.children ? nextChild(top.node, top.children.get()) : nullptr;
        if (!child) {
            stack.pop_back();
            continue;
        }
        stack.push_back({child, childIterator(child)});
    }
    return deepest;
}

}  // namespace

PlistPtr parsePropertyList(std::string_view bytes) {
    if (bytes.size() > kMaxPropertyListBytes) return nullptr;
    if (bytes.starts_with(kBinaryMagic)) {
        if (!BinaryListShape(bytes).withinLimits()) return nullptr;
    } else if (containerTags(bytes) > kMaxXmlPropertyListContainers) {
        return nullptr;
    }
    plist_t parsed = nullptr;
    plist_from_memory(bytes.data(), static_cast<std::uint32_t>(bytes.size()), &parsed);
    PlistPtr list(parsed);
    if (!list || depthOf(parsed) > kMaxPropertyListDepth) return nullptr;
    return list;
}

}  // namespace kd
