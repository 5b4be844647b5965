#include "platform/linux/json_preference_store.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <limits>
#include <nlohmann/json.hpp>
#include <stdexcept>
#include <system_error>
#include <utility>
#include <variant>

#include "platform/unique_fd.h"
#include "platform/write_all.h"

namespace kd {

namespace {

using Json = nlohmann::json;

constexpr int kFormatVersion = 1;
constexpr const char* kTemporaryInfix = ".tmp-";
constexpr const char* kQuarantineInfix = ".corrupt-";
// Enough for every unreadable file one second's start-ups could meet.
constexpr int kMaxQuarantineNames = 1000;

constexpr std::string_view kBase64Alphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int base64Sextet(char c) {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+') return 62;
    if (c == '/') return 63;
    return -1;
}

struct FormatError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

Json encodeDouble(double d) {
    if (std::isnan(d)) return "NaN";
    if (std::isinf(d)) return d > 0 ? "Infinity" : "-Infinity";
    return d;
}

double decodeDouble(const Json& body) {
    if (body.is_number()) return body.get<double>();
    if (body.is_string()) {
        const auto& s = body.get_ref<const std::string&>();
        if (s == "NaN") return std::numeric_limits<double>::quiet_NaN();
        if (s == "Infinity") return std::numeric_limits<double>::infinity();
        if (s == "-Infinity") return -std::numeric_limits<double>::infinity();
    }
    throw FormatError("a double is neither a number nor NaN or an infinity");
}

Json encodeValue(const PrefValue& value);

// A visitor rather than a chain of tests, so a new PrefValue type fails to
// compile here instead of being dropped from the file.
struct TaggedEncoder {
    Json operator()(bool b) const { return {{"bool", b}}; }
    Json operator()(std::int64_t i) const { return {{"integer", i}}; }
    Json operator()(double d) const { return {{"double", encodeDouble(d)}}; }
    Json operator()(const std::string& s) const { return {{"text", s}}; }
    Json operator()(const PrefData& bytes) const { return {{"data", base64Encode(bytes)}}; }
    Json operator()(const PrefArray& items) const {
        Json encoded = Json::array();
        for (const auto& item : items) encoded.push_back(encodeValue(item));
        return {{"array", std::move(encoded)}};
    }
    Json operator()(const PrefDict& members) const {
        Json encoded = Json::object();
        for (const auto& [key, member] : members) encoded[key] = encodeValue(member);
        return {{"dict", std::move(encoded)}};
    }
};

Json encodeValue(const PrefValue& value) {
    return std::visit(TaggedEncoder{}, value.storage());
}

PrefValue decodeValue(const Json& tagged) {
    if (!tagged.is_object() || tagged.size() != 1) {
        throw FormatError("a value is not an object with exactly one tag");
    }
    const std::string& tag = tagged.begin().key();
    const Json& body = tagged.begin().value();
    if (tag == "bool" && body.is_boolean()) return body.get<bool>();
    if (tag == "integer" && body.is_number_integer()) {
        // Non-negative numbers parse as unsigned, which may not fit.
        if (body.is_number_unsigned() &&
            body.get<std::uint64_t>() >
                static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) {
            throw FormatError("an integer is out of range");
        }
        return body.get<std::int64_t>();
    }
    if (tag == "double") return decodeDouble(body);
    if (tag == "text" && body.is_string()) return body.get<std::string>();
    if (tag == "data" && body.is_string()) {
        auto bytes = base64Decode(body.get_ref<const std::string&>());
        if (!bytes) throw FormatError("data is not valid base64");
        return PrefValue(std::move(*bytes));
    }
    if (tag == "array" && body.is_array()) {
        PrefArray items;
        items.reserve(body.size());
        for (const auto& item : body) items.push_back(decodeValue(item));
        return PrefValue(std::move(items));
    }
    if (tag == "dict" && body.is_object()) {
        PrefDict members;
        for (auto it = body.begin(); it != body.end(); ++it) {
            members.emplace(it.key(), decodeValue(it.value()));
        }
        return PrefValue(std::move(members));
    }
    throw FormatError("unknown tag, or a body of the wrong kind, in \"" + tag + "\"");
}

// Replacing bad UTF-8 keeps a caller's malformed text from failing the whole
// write, which would also hold back every other key.
std::string compact(const Json& json) {
    return json.dump(-1, ' ', false, Json::error_handler_t::replace);
}

// One key per line with its value compact, version first: easy to read and
// to compare between versions of the file.
std::string encodeDomain(const PrefDict& values) {
    std::string text = "{\n  \"version\": " + std::to_string(kFormatVersion) + ",\n  \"values\": {";
    const char* separator = "\n";
    for (const auto& [key, value] : values) {
        text += separator;
        text += "    " + compact(key) + ": " + compact(encodeValue(value));
        separator = ",\n";
    }
    text += values.empty() ? "}\n}\n" : "\n  }\n}\n";
    return text;
}

PrefDict decodeDomain(const std::string& contents) {
    const Json document = Json::parse(contents, nullptr, false);
    if (document.is_discarded()) throw FormatError("not JSON");
    if (!document.is_object() || document.size() != 2) {
        throw FormatError("not an object of version and values");
    }
    const auto version = document.find("version");
    if (version == document.end() || !version->is_number_integer() || *version != kFormatVersion) {
        throw FormatError("unknown version");
    }
    const auto values = document.find("values");
    if (values == document.end() || !values->is_object()) throw FormatError("no values");
    PrefDict decoded;
    for (auto it = values->begin(); it != values->end(); ++it) {
        decoded.emplace(it.key(), decodeValue(it.value()));
    }
    return decoded;
}

std::string describe(const std::string& what, const std::filesystem::path& path, int err) {
    return what + " " + path.string() + ": " + std::generic_category().message(err);
}

std::filesystem::path directoryOf(const std::filesystem::path& file) {
    return file.has_parent_path() ? file.parent_path() : std::filesystem::path(".");
}

// The contents, or the errno that stopped the read.
std::variant<std::string, int> readFile(const std::filesystem::path& file) {
    const UniqueFd fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd.isOpen()) return errno;
    std::string contents;
    std::array<char, 65536> buffer{};
    for (;;) {
        const ssize_t n = ::read(fd.get(), buffer.data(), buffer.size());
        if (n == 0) return contents;
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        contents.append(buffer.data(), static_cast<std::size_t>(n));
    }
}

int syncDirectory(const std::filesystem::path& dir) {
    const UniqueFd fd(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!fd.isOpen() || ::fsync(fd.get()) != 0) return errno;
    return 0;
}

std::string temporaryPrefix(const std::filesystem::path& file) {
    return file.filename().string() + kTemporaryInfix;
}

// Temporary names carry the writer's process id, so a second process on the
// same domain never loses its in-flight file to this clean-up.
void removeStaleTemporaries(const std::filesystem::path& file) {
    const std::string prefix = temporaryPrefix(file);
    std::error_code ec;
    std::filesystem::directory_iterator it(directoryOf(file), ec);
    for (const std::filesystem::directory_iterator end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (!name.starts_with(prefix)) continue;
        const std::string_view rest = std::string_view(name).substr(prefix.size());
        pid_t pid = 0;
        const auto [next, parsed] = std::from_chars(rest.data(), rest.data() + rest.size(), pid);
        if (parsed != std::errc() || pid <= 0 || next == rest.data() + rest.size() ||
            *next != '-') {
            continue;
        }
        if (::kill(pid, 0) != 0 && errno == ESRCH) ::unlink(it->path().c_str());
    }
}

// The error text, or nothing when `file` now holds `contents` durably.
std::optional<std::string> replaceFile(const std::filesystem::path& file,
                                       std::string_view contents) {
    const std::filesystem::path dir = directoryOf(file);
    std::string temporary =
        (dir / (temporaryPrefix(file) + std::to_string(::getpid()) + "-XXXXXX")).string();
    const UniqueFd fd(::mkostemp(temporary.data(), O_CLOEXEC));
    if (!fd.isOpen()) return describe("cannot create a temporary file in", dir, errno);
    const auto fail = [&temporary](const std::string& what, const std::filesystem::path& path,
                                   int err) {
        ::unlink(temporary.c_str());
        return describe(what, path, err);
    };
    if (const int err = writeAll(fd.get(), contents)) return fail("cannot write", temporary, err);
    if (::fsync(fd.get()) != 0) return fail("cannot flush", temporary, errno);
    if (::rename(temporary.c_str(), file.c_str()) != 0) return fail("cannot replace", file, errno);
    if (const int err = syncDirectory(dir)) return describe("cannot flush directory", dir, err);
    return std::nullopt;
}

std::string utcStamp() {
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    ::gmtime_r(&now, &utc);
    std::array<char, 32> text{};
    const std::size_t length = std::strftime(text.data(), text.size(), "%Y%m%dT%H%M%SZ", &utc);
    return {text.data(), length};
}

// 0, or the errno; EEXIST when `to` is taken.
int renameWithoutReplacing(const std::filesystem::path& from, const std::filesystem::path& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
    if (errno != EINVAL) return errno;
    // File systems without the flag (NFS among them) still refuse to link
    // over an existing name.
    if (::link(from.c_str(), to.c_str()) != 0) return errno;
    ::unlink(from.c_str());
    return 0;
}

}  // namespace

std::filesystem::path preferenceFilePath(const std::string& domain) {
    if (domain.empty() || domain == "." || domain == ".." ||
        domain.find_first_of(std::string_view("/\0", 2)) != std::string::npos) {
        throw std::invalid_argument("not a preference domain name: \"" + domain + "\"");
    }
    std::filesystem::path base;
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    const char* home = std::getenv("HOME");
    if (xdg != nullptr && std::filesystem::path(xdg).is_absolute()) {
        base = xdg;
    } else if (home != nullptr && std::filesystem::path(home).is_absolute()) {
        base = std::filesystem::path(home) / ".config";
    } else {
        throw std::runtime_error("neither XDG_CONFIG_HOME nor HOME is an absolute path");
    }
    const std::filesystem::path dir = base / "kelvane-display";
    // A directory that cannot be made surfaces as the store's first write
    // error, which is where the user gets told.
    std::error_code ignored;
    std::filesystem::create_directories(dir, ignored);
    return dir / (domain + ".json");
}

std::string base64Encode(const PrefData& bytes) {
    std::string text;
    text.reserve((bytes.size() + 2) / 3 * 4);
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        const std::size_t count = std::min<std::size_t>(3, bytes.size() - i);
        std::uint32_t group = std::uint32_t{bytes[i]} << 16;
        if (count > 1) group |= std::uint32_t{bytes[i + 1]} << 8;
        if (count > 2) group |= bytes[i + 2];
        for (std::size_t j = 0; j < 4; ++j) {
            text += j <= count ? kBase64Alphabet[(group >> (18 - 6 * j)) & 63] : '=';
        }
    }
    return text;
}

std::optional<PrefData> base64Decode(std::string_view text) {
    if (text.size() % 4 != 0) return std::nullopt;
    PrefData bytes;
    bytes.reserve(text.size() / 4 * 3);
    for (std::size_t i = 0; i < text.size(); i += 4) {
        std::size_t padding = 0;
        if (i + 4 == text.size() && text[i + 3] == '=') padding = text[i + 2] == '=' ? 2 : 1;
        std::uint32_t group = 0;
        for (std::size_t j = 0; j < 4 - padding; ++j) {
            const int sextet = base64Sextet(text[i + j]);
            if (sextet < 0) return std::nullopt;
            group |= static_cast<std::uint32_t>(sextet) << (18 - 6 * j);
        }
        // Bits below the last whole byte must be zero, or two texts would
        // decode to the same bytes.
        if ((group & ((1U << (8 * padding)) - 1)) != 0) return std::nullopt;
        for (std::size_t j = 0; j < 3 - padding; ++j) {
            bytes.push_back(static_cast<std::uint8_t>(group >> (16 - 8 * j)));
        }
    }
    return bytes;
}

JsonPreferenceStore::JsonPreferenceStore(std::filesystem::path file) : file_(std::move(file)) {
    removeStaleTemporaries(file_);
    load();
}

void JsonPreferenceStore::load() {
    const auto read = readFile(file_);
    if (const int* err = std::get_if<int>(&read)) {
        if (*err == ENOENT || *err == ENOTDIR) return;
    } else {
        try {
            values_ = decodeDomain(std::get<std::string>(read));
            return;
        } catch (const FormatError&) {
        } catch (const Json::exception&) {
        }
    }
    // Starting empty over the old file would let the next write destroy
    // whatever it held, so it goes aside, intact, for the user to look at.
    const std::string base = file_.filename().string() + kQuarantineInfix + utcStamp();
    const std::filesystem::path dir = directoryOf(file_);
    for (int n = 0; n < kMaxQuarantineNames; ++n) {
        auto target = dir / (n == 0 ? base : base + "-" + std::to_string(n));
        const int err = renameWithoutReplacing(file_, target);
        if (err == 0) {
            quarantined_ = std::move(target);
            syncDirectory(dir);
            return;
        }
        if (err != EEXIST) {
            lastWriteError_ = describe("cannot move aside unreadable", file_, err);
            return;
        }
    }
    lastWriteError_ = describe("cannot move aside unreadable", file_, EEXIST);
}

std::optional<PrefValue> JsonPreferenceStore::value(const std::string& key) const {
    const std::shared_lock lock(mutex_);
    const auto found = values_.find(key);
    if (found == values_.end()) return std::nullopt;
    return found->second;
}

void JsonPreferenceStore::set(const std::string& key, PrefValue value) {
    const std::lock_guard writing(writeMutex_);
    {
        const std::unique_lock lock(mutex_);
        values_.insert_or_assign(key, std::move(value));
    }
    persist();
}

void JsonPreferenceStore::remove(const std::string& key) {
    const std::lock_guard writing(writeMutex_);
    {
        const std::unique_lock lock(mutex_);
        values_.erase(key);
    }
    persist();
}

std::optional<std::string> JsonPreferenceStore::lastWriteError() const {
    const std::shared_lock lock(mutex_);
    return lastWriteError_;
}

void JsonPreferenceStore::persist() {
    // Only holders of writeMutex_ change values_, and the caller is one, so
    // encoding without mutex_ keeps readers unblocked during the file work.
    const std::string contents = encodeDomain(values_);
    auto error = replaceFile(file_, contents);
    const std::unique_lock lock(mutex_);
    lastWriteError_ = std::move(error);
}

}  // namespace kd
