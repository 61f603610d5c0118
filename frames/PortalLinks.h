#pragma once
// The portal pages the client's picture buttons open in the user's default
// browser: the launcher's four and the title bar's four links, one table.

#include "app/PortalSite.h"

#include <optional>
#include <string>

namespace portallinks {

// The portal page of a launcher button or title-bar link with this id; none
// for any other id.
std::optional<std::wstring> PageOf(const PortalSite& portal, int buttonId);

} // namespace portallinks
