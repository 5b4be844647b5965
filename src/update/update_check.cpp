#include "update/update_check.h"

#include <variant>

#include "update/appcast.h"
#include "update/version_order.h"

namespace kd {

UpdateCheckResult readFeedAnswer(const std::optional<HttpResponse>& answer,
                                 const std::string& currentVersion) {
    using Kind = UpdateCheckResult::Kind;
    if (!answer) return {Kind::unreachable};
    if (answer->status < 200 || answer->status > 299) {
        return {Kind::httpError, {}, answer->status};
    }
    const auto newest = newestAppcastItem(answer->body);
    if (const auto* problem = std::get_if<AppcastProblem>(&newest)) {
        return {*problem == AppcastProblem::noItems ? Kind::empty : Kind::unreadable};
    }
    const auto& item = std::get<AppcastItem>(newest);
    const bool newer = compareVersions(item.version, currentVersion) > 0;
    return {newer ? Kind::available : Kind::upToDate, item.displayVersion};
}

std::string updateStatusLine(const UpdateCheckResult& result) {
    using Kind = UpdateCheckResult::Kind;
    switch (result.kind) {
        case Kind::available:
            return "Kelvane Display " + result.version + " is available";
        case Kind::upToDate:
            return kUpToDateText;
        case Kind::unreachable:
            return kFeedUnreachableText;
        case Kind::httpError:
            return "The update server answered with error " + std::to_string(result.httpStatus) +
                   " \u2014 try again later.";
        case Kind::unreadable:
            return kFeedUnreadableText;
        case Kind::empty:
            return kFeedEmptyText;
    }
    return kFeedUnreadableText;
}

}  // namespace kd
