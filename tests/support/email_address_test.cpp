#include <gtest/gtest.h>

#include "support/email_address.h"

namespace kd {
namespace {

TEST(EmailAddressTest, NormalisingTrimsAndLowerCasesAndChangesNothingElse) {
    struct Case {
        const char* given;
        const char* normalised;
    };
    const Case cases[] = {
        {"  Jane.Doe+Display@Example.COM \n", "jane.doe+display@example.com"},
        {"\t\r\njane@example.com\r\n", "jane@example.com"},
        // No-break and ideographic spaces, as pasted from a web page.
        {"\u00A0jane@example.com\u3000", "jane@example.com"},
        {"jane doe@example.com", "jane doe@example.com"},  // only the ends are trimmed
        {"ÉLODIE@EXAMPLE.FR", "élodie@example.fr"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(normalise(c.given), c.normalised) << '"' << c.given << '"';
    }
}

TEST(EmailAddressTest, AnAddressIsANameAndADottedDomain) {
    struct Case {
        const char* text;
        bool address;
    };
    const Case cases[] = {
        {"jane@example.com", true},
        {"jane", false},
        {"jane@localhost", false},
        {"jane@example.com.", false},
        {"@example.com", false},  // no name at all
        {"", false},
        {"a@b@c.com", false},  // three pieces
        // Empty pieces are dropped, so a doubled, leading or trailing "@" alone
        // does not make the text fail.
        {"jane@@example.com", true},
        {"@jane@example.com", true},
        {"jane@example.com@", true},
        {"jane@.com", true},  // no character checks beyond the dot
    };
    for (const auto& c : cases) {
        EXPECT_EQ(looksLikeEmail(c.text), c.address) << '"' << c.text << '"';
    }
}

}  // namespace
}  // namespace kd
