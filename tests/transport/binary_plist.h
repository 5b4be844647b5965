#pragma once

// Binary property lists put together object by object, for shapes libplist's
// own writer never produces: shared objects, cycles, extreme nesting, bad
// trailers. Offsets and references are 4 bytes wide.

#include <cstdint>
#include <string>
#include <vector>

namespace kd::test {

class BinaryPlist {
  public:
    // Adds an encoded object and returns its index.
    std::uint32_t add(std::string object) {
        objects_.push_back(std::move(object));
        return static_cast<std::uint32_t>(objects_.size() - 1);
    }
    // Replaces an object, so one can refer to an object added after it.
    void set(std::uint32_t index, std::string object) { objects_[index] = std::move(object); }
    std::size_t size() const { return objects_.size(); }

    static std::string ascii(const std::string& text) { return counted(0x5, text.size()) + text; }
    static std::string integer(std::uint64_t value) { return "\x13" + bigEndian(value, 8); }
    static std::string array(const std::vector<std::uint32_t>& items) {
        std::string out = counted(0xA, items.size());
        for (const auto item : items) out += bigEndian(item, 4);
        return out;
    }
    static std::string dict(const std::vector<std::uint32_t>& keys,
                            const std::vector<std::uint32_t>& values) {
        std::string out = counted(0xD, keys.size());
        for (const auto key : keys) out += bigEndian(key, 4);
        for (const auto value : values) out += bigEndian(value, 4);
        return out;
    }

    std::string build(std::uint32_t root) const {
        std::string out = "bplist00";
        std::vector<std::uint64_t> offsets;
        for (const auto& object : objects_) {
            offsets.push_back(out.size());
            out += object;
        }
        const std::uint64_t table = out.size();
        for (const auto offset : offsets) out += bigEndian(offset, 4);
        out += std::string(6, '\0') + "\x04\x04";
        out += bigEndian(objects_.size(), 8) + bigEndian(root, 8) + bigEndian(table, 8);
        return out;
    }

    static std::string bigEndian(std::uint64_t value, int width) {
        std::string out;
        for (int i = width - 1; i >= 0; --i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
        return out;
    }

  private:
    static std::string counted(unsigned type, std::size_t count) {
        if (count < 15) return std::string(1, static_cast<char>((type << 4) | count));
        return std::string(1, static_cast<char>((type << 4) | 0xF)) + "\x12" + bigEndian(count, 4);
    }

    std::vector<std::string> objects_;
};

}  // namespace kd::test
