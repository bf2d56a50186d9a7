// Reading and writing the stored placements through the profile store.
#include "viewer/placement_store.h"

#include <algorithm>
#include <vector>

#include <QApplication>
#include <QStyle>

#include "platform/ui/profile_store.h"
#include "platform/ui/win_app.h"

viewer::PlacementRect ToPlacementRect(const QRect& rc) {
    return viewer::PlacementRect{rc.left(), rc.top(), rc.left() + rc.width(), rc.top() + rc.height()};
}

QRect FromPlacementRect(const viewer::PlacementRect& rc) {
    return QRect(rc.left, rc.top, int(rc.Width()), int(rc.Height()));
}

std::optional<viewer::WindowPlacement> ReadWindowPlacement(const std::string& strSection, const QRect& rcAvailable) {
    platform::CWinApp* pApp = platform::CWinApp::Get();
    platform::CProfileStore* pStore = pApp ? pApp->GetProfileStore() : nullptr;
    std::vector<uint8_t> bytes;
    if (!pStore || !pStore->GetBinary(strSection, kPlacementKey, bytes))
        return std::nullopt;
    viewer::PlacementReach reach;
    // The caption the style draws is what the user must be able to grab.
    reach.nTitleHeight = std::max(reach.nTitleHeight, QApplication::style()->pixelMetric(QStyle::PM_TitleBarHeight));
    return viewer::ReadStoredPlacement(bytes.data(), bytes.size(), ToPlacementRect(rcAvailable), reach);
}

bool WriteWindowPlacement(const std::string& strSection, const QRect& rcNormal, bool bMaximized, bool bMinimized) {
    platform::CWinApp* pApp = platform::CWinApp::Get();
    platform::CProfileStore* pStore = pApp ? pApp->GetProfileStore() : nullptr;
    if (!pStore || !rcNormal.isValid())
        return false;
    const auto bytes = viewer::BuildPlacement(viewer::MakePlacement(ToPlacementRect(rcNormal), bMaximized, bMinimized));
    return pStore->WriteBinary(strSection, kPlacementKey, std::vector<uint8_t>(bytes.begin(), bytes.end()));
}
