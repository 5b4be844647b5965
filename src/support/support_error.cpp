#include "support/support_error.h"

#include "support/support_config.h"

namespace kd {

namespace {

std::string describeServer(int status, const std::optional<std::string>& code) {
    const std::string c = code.value_or("");
    if (c == "rate_limited") {
        return "Too many messages in a row. Try again in a few minutes \u2014 nothing was lost.";
    }
    if (c == "message_too_long") {
        return "That's over the 4000-character limit. Trim it a little and send again.";
    }
    if (c == "attachment_too_large") return "That file is too big \u2014 6 MB at most.";
    if (c == "too_many_attachments") return "Six files at most in one conversation.";
    if (c == "unsupported_type") return "Attach an image, a PDF, a text log or a zip.";
    if (c == "bad_request") return "The message came out empty \u2014 write something first.";
    if (c == "unauthorized" || c == "attestation_required" || c == "bad_attestation") {
        return std::string("This build can't reach support. Please email ") +
               SupportConfig::supportEmail + ".";
    }
    return "Support is having trouble (" + std::to_string(status) +
           "). Your text is safe \u2014 try again shortly.";
}

}  // namespace

std::string describe(const SupportError& error) {
    switch (error.kind) {
        case SupportError::Kind::server:
            return describeServer(error.status, error.code);
        case SupportError::Kind::network:
            return "No connection. Your text is safe \u2014 try again when you're back online.";
        case SupportError::Kind::notConfigured:
            return "Support isn't configured in this build";
        case SupportError::Kind::gone:
            return "This conversation is no longer on the server. Start a new one below.";
    }
    return {};
}

}  // namespace kd
