#pragma once

// The support service's client: one JSON request per operation, sent from a
// background queue, its outcome handed back on the main queue.
//
// - Holds no state of its own: the address, key and device identifier are
//   read from the user-defaults store on every request.
// - Every callback runs exactly once, on the main queue, never before the
//   call returns; without a usable base address it fails with
//   `notConfigured` and nothing is sent.
// - Never retries: what becomes of the user's text is the caller's choice.
// - A reply over `kMaxSupportReplyBytes` is a network failure: no record the
//   service sends comes near it, and memory stays bounded whatever it sends.
// - The ports must outlive every request in flight.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>

#include "platform/http_client.h"
#include "platform/preferences.h"
#include "platform/scheduler.h"
#include "platform/secure_random.h"
#include "support/support_config.h"
#include "support/support_error.h"
#include "support/support_records.h"

namespace kd {

inline constexpr std::size_t kMaxSupportReplyBytes = std::size_t{8} << 20;

// What a new ticket tells the service about this machine.
struct SupportTicketDiagnostics {
    std::string appVersion;  // "Display 1.4"
    std::string os;          // "macOS 14.5.0"
    int screens = 0;
};

// A file to attach, read by the caller; its bytes are only read during
// `upload` itself.
struct SupportUploadFile {
    std::string path;  // the last component is the name the service keeps
    std::string mime;
    std::span<const std::uint8_t> bytes;
};

class SupportClient {
  public:
    struct Ports {
        Preferences& defaults;
        HttpClient& http;
        Scheduler& scheduler;
        SecureRandom& random;  // for a first device identifier
    };
    template <class T>
    using Done = std::function<void(SupportResult<T>)>;

    // `localeIdentifier` is the user's, such as "en_US".
    SupportClient(Ports ports, std::string localeIdentifier,
                  std::chrono::milliseconds timeout = SupportConfig::requestTimeout);

    // Opens a conversation; gives its public token.
    void create(const std::string& subject, const std::string& message,
                const std::optional<SupportTicketDiagnostics>& diagnostics, Done<std::string> done);
    void thread(const std::string& token, Done<SupportThread> done);
    void reply(const std::string& token, const std::string& message, Done<SupportDone> done);
    void upload(const SupportUploadFile& file, const std::string& token, Done<SupportDone> done);
    void banner(Done<SupportBanner> done);

    // Where a browser can fetch an attachment; the client never does.
    std::optional<std::string> attachmentURL(const std::string& token,
                                             std::int64_t attachmentID) const;

  private:
    template <class T>
    void send(const char* method, const std::string& path, const std::optional<std::string>& body,
              std::optional<T> (*decode)(const std::string&), Done<T> done);

    Ports ports_;
    std::string localeIdentifier_;
    std::chrono::milliseconds timeout_;
};

}  // namespace kd
