#pragma once

// Which device each external screen belongs to. The platform never says, so
// the answer is inferred from names and from what the user just did. Pure
// functions of their arguments: no system state is read.
//
// `recent` lists device ids, most recent first; only the first occurrence of
// an id counts.

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "display/attached_display.h"
#include "display/connection_state.h"
#include "model/device.h"

namespace kd {

using Attachments = std::map<std::string, DisplayID>;  // device id to display id

// Hands each non-built-in screen to at most one device and each device at most
// one screen, settling the strongest evidence first: the Sidecar screen to the
// iPad, then exact names, then names that contain each other (ignoring case),
// then a lone leftover screen to a lone device or to the most recent one.
Attachments resolveAttachments(const std::vector<Device>& devices,
                               const std::vector<AttachedDisplay>& screens,
                               const std::vector<std::string>& preferring);

// The whole picture: resolved screens, those among them that mirror
// (`mirroringIDs`), and `hiddenExternals` mirrors the system hides from the
// screen list, which go, most recent first, to devices present in `devices`
// that are believed connected or are the one being connected (`busyKey`).
// A hidden mirror gives its device no entry in `screens`.
ConnectionState resolveConnections(const std::vector<Device>& devices,
                                   const std::vector<AttachedDisplay>& screens,
                                   const std::set<DisplayID>& mirroringIDs, int hiddenExternals,
                                   const std::set<std::string>& believedConnected,
                                   const std::optional<std::string>& busyKey,
                                   const std::vector<std::string>& recent);

}  // namespace kd
