#pragma once

// The user-defaults store on Linux: one JSON file per domain.
//
// The file holds every key of the domain and is replaced as a whole on each
// change (temporary file, fsync, rename, fsync of the directory), so a crash
// at any moment leaves either the previous or the new file. Each value keeps
// its type through a tag:
//
//   {"version": 1, "values": {"autoReconnect": {"bool": true},
//                             "mode.x": {"data": "<base64>"},
//                             "d": {"dict": {"k": {"double": 2.0}}}}}
//
// Tags: bool, integer, double, text, data, array, dict. Non-finite doubles
// are written as the strings "NaN", "Infinity" and "-Infinity", because JSON
// has no numbers for them. Text that is not valid UTF-8 is written with
// U+FFFD in place of the bad bytes; memory keeps what the caller gave.

#include <filesystem>
#include <mutex>
#include <optional>
#include <shared_mutex>
#include <string>
#include <string_view>

#include "platform/preferences.h"

namespace kd {

// `$XDG_CONFIG_HOME/kelvane-display/<domain>.json`, or under `$HOME/.config`
// when XDG_CONFIG_HOME is unset, empty or relative. Creates the directory.
// Throws std::invalid_argument for a domain that is not a plain file name and
// std::runtime_error when neither variable gives a usable location.
std::filesystem::path preferenceFilePath(const std::string& domain);

std::string base64Encode(const PrefData& bytes);
// Standard alphabet with padding, nothing else: no white space, no
// unpadded tail, no stray bits in the last character.
std::optional<PrefData> base64Decode(std::string_view text);

class JsonPreferenceStore : public Preferences {
  public:
    // Loads `file`. A missing file is an empty domain; a file that cannot be
    // read or understood is renamed aside (see quarantinedFile) and the
    // domain starts empty. Temporary files left by a writer that died are
    // removed.
    explicit JsonPreferenceStore(std::filesystem::path file);

    std::optional<PrefValue> value(const std::string& key) const override;
    void set(const std::string& key, PrefValue value) override;
    void remove(const std::string& key) override;

    // Why the most recent change to the file failed (a write, or moving an
    // unreadable file aside at start-up); empty once a later write succeeds.
    // Memory keeps every change either way, and the next successful write
    // carries all of them.
    std::optional<std::string> lastWriteError() const;

    // Where the unreadable file found at start-up now lies, if there was one.
    std::optional<std::filesystem::path> quarantinedFile() const { return quarantined_; }

  private:
    void load();
    void persist();

    const std::filesystem::path file_;
    std::optional<std::filesystem::path> quarantined_;

    // Held from a change in memory until its file write ends, so the file
    // writes happen in the order of the changes.
    std::mutex writeMutex_;
    mutable std::shared_mutex mutex_;  // guards values_ and lastWriteError_
    PrefDict values_;
    std::optional<std::string> lastWriteError_;
};

}  // namespace kd
