#include "support/staged_file.h"

#include <array>
#include <cstddef>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <utility>

#include "model/text.h"
#include "support/support_records.h"

namespace kd {

namespace {

struct AcceptedType {
    const char* extension;
    const char* mime;
};

constexpr std::array<AcceptedType, 10> kAcceptedTypes{{
    {"png", "image/png"},
    {"jpg", "image/jpeg"},
    {"jpeg", "image/jpeg"},
    {"heic", "image/heic"},
    {"gif", "image/gif"},
    {"webp", "image/webp"},
    {"pdf", "application/pdf"},
    {"txt", "text/plain"},
    {"log", "text/plain"},
    {"zip", "application/zip"},
}};

}  // namespace

std::optional<std::string> supportMimeType(const std::string& path) {
    const auto extension = std::filesystem::path(path).extension().string();
    if (extension.size() < 2) return std::nullopt;
    const auto wanted = lowercased(extension.substr(1));
    for (const auto& type : kAcceptedTypes) {
        if (wanted == type.extension) return type.mime;
    }
    return std::nullopt;
}

std::string StagedFile::name() const {
    return std::filesystem::path(path).filename().string();
}

std::string StagedFile::sizeLabel() const {
    return kd::sizeLabel(static_cast<std::int64_t>(data ? data->size() : 0));
}

StagedRead readForStaging(const std::string& path) {
    std::error_code failure;
    const auto size = std::filesystem::file_size(path, failure);
    if (failure || size < 1) return {StagedRead::Outcome::empty, {}};
    if (size > kMaxStagedFileBytes) return {StagedRead::Outcome::tooLarge, {}};

    std::ifstream file(path, std::ios::binary);
    if (!file) return {StagedRead::Outcome::unreadable, {}};
    std::vector<std::uint8_t> bytes;
    bytes.reserve(static_cast<std::size_t>(size));
    std::array<char, 1 << 16> chunk{};
    while (file) {
        file.read(chunk.data(), chunk.size());
        const auto got = static_cast<std::size_t>(file.gcount());
        if (bytes.size() + got > kMaxStagedFileBytes) return {StagedRead::Outcome::tooLarge, {}};
        bytes.insert(bytes.end(), chunk.begin(), chunk.begin() + static_cast<std::ptrdiff_t>(got));
    }
    if (file.bad()) return {StagedRead::Outcome::unreadable, {}};
    if (bytes.empty()) return {StagedRead::Outcome::empty, {}};
    return {StagedRead::Outcome::read, std::move(bytes)};
}

}  // namespace kd
