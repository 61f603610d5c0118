#include "frames/PortalLinks.h"

#include "frames/CFrameBack.h"
#include "frames/CFrameGame.h"

namespace portallinks {

namespace {

struct Link {
    int launcherId;
    int titleBarId;
    std::wstring (PortalSite::*page)() const;
};

constexpr Link kLinks[] = {
    {CFrameBack::kHomeId, CFrameGame::kHomeLinkId, &PortalSite::HomePage},
    {CFrameBack::kForumId, CFrameGame::kForumLinkId, &PortalSite::ForumPage},
    {CFrameBack::kServiceId, CFrameGame::kServiceLinkId, &PortalSite::ServicePage},
    {CFrameBack::kPayId, CFrameGame::kPayLinkId, &PortalSite::PaymentPage},
};

} // namespace

std::optional<std::wstring> PageOf(const PortalSite& portal, int buttonId)
{
    for (const Link& link : kLinks) {
        if (buttonId == link.launcherId || buttonId == link.titleBarId)
            return (portal.*link.page)();
    }
    return std::nullopt;
}

} // namespace portallinks
