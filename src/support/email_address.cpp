#include "support/email_address.h"

#include <algorithm>
#include <vector>

#include "model/text.h"

namespace kd {

std::string normalise(std::string_view email) {
    return lowercasedIgnoringLocale(trimmed(email));
}

bool looksLikeEmail(std::string_view text) {
    std::vector<std::string_view> pieces;
    std::size_t start = 0;
    while (start <= text.size()) {
        const auto at = std::min(text.find('@', start), text.size());
        if (at > start) pieces.push_back(text.substr(start, at - start));
        start = at + 1;
    }
    if (pieces.size() != 2) return false;
    const auto domain = pieces[1];
    return domain.find('.') != std::string_view::npos && domain.back() != '.';
}

}  // namespace kd
