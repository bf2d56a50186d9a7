// Stored window placements: their 44 bytes, and which stored ones a window
// may use so that it opens shown and within reach.
#include <climits>

#include <gtest/gtest.h>

#include "viewer/settings/window_placement.h"

using namespace viewer;

TEST(WindowPlacement, BytesAreLittleEndianFieldsInTheirOrder) {
    WindowPlacement p = MakePlacement(PlacementRect{-8, 20, 1000, 700}, true);
    p.ptMinPosition = PlacementPoint{-32000, -32000};
    const auto bytes = BuildPlacement(p);
    const uint8_t expected[kPlacementBytes] = {
        44, 0, 0, 0,  0, 0, 0, 0,  3, 0, 0, 0,                             // length, flags, maximised
        0x00, 0x83, 0xFF, 0xFF,  0x00, 0x83, 0xFF, 0xFF,                   // minimised position
        0xFF, 0xFF, 0xFF, 0xFF,  0xFF, 0xFF, 0xFF, 0xFF,                   // maximised position: none
        0xF8, 0xFF, 0xFF, 0xFF,  20, 0, 0, 0,  0xE8, 0x03, 0, 0,  0xBC, 0x02, 0, 0,  // normal rectangle
    };
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.end()), std::vector<uint8_t>(expected, expected + 44));

    auto back = ParsePlacement(bytes.data(), bytes.size());
    ASSERT_TRUE(back);
    EXPECT_EQ(back->nShowCmd, uint32_t(SW_SHOWMAXIMIZED));
    EXPECT_EQ(back->ptMinPosition.x, -32000);
    EXPECT_EQ(back->rcNormalPosition.left, -8);
    EXPECT_EQ(back->rcNormalPosition.bottom, 700);

    // A minimised window that was maximised comes back maximised on restore.
    EXPECT_EQ(MakePlacement(PlacementRect{0, 0, 9, 9}, true, true).nFlags, uint32_t(WPF_RESTORETOMAXIMIZED));
    EXPECT_EQ(MakePlacement(PlacementRect{0, 0, 9, 9}, false, true).nShowCmd, uint32_t(SW_SHOWMINIMIZED));
}

TEST(WindowPlacement, OnlyFortyFourBytesThatSaySoAreRead) {
    auto bytes = BuildPlacement(MakePlacement(PlacementRect{0, 0, 100, 100}, false));
    EXPECT_TRUE(ParsePlacement(bytes.data(), 44));
    EXPECT_FALSE(ParsePlacement(bytes.data(), 43));
    EXPECT_FALSE(ParsePlacement(nullptr, 44));
    std::vector<uint8_t> longer(bytes.begin(), bytes.end());
    longer.push_back(0);
    EXPECT_FALSE(ParsePlacement(longer.data(), longer.size()));
    bytes[0] = 40;
    EXPECT_FALSE(ParsePlacement(bytes.data(), 44)) << "the length field must say 44";
}

TEST(WindowPlacement, ShowCommandsThatHideAWindowBecomeNormal) {
    for (uint32_t n : {0u, 2u, 6u, 7u, 11u, 12u, 0xFFFFFFFFu}) EXPECT_EQ(RestoredShowCommand(n), 1u) << n;
    for (uint32_t n : {1u, 3u, 4u, 5u, 8u, 9u, 10u}) EXPECT_EQ(RestoredShowCommand(n), n) << n;
}

TEST(WindowPlacement, AStoredRectangleIsUsedOnlyWhereItsTitleBarCanBeReached) {
    const PlacementRect screen{0, 0, 1920, 1040};  // the screen less the task bar
    const PlacementRect mdi{0, 0, 800, 500};       // a frame's MDI area
    constexpr int32_t kMin = INT32_MIN, kMax = INT32_MAX;
    const struct {
        const char* pszWhat;
        PlacementRect rcArea, rcStored;
        bool bUsed;
        PlacementRect rcApplied;
    } cases[] = {
        {"inside", screen, {100, 50, 900, 650}, true, {100, 50, 900, 650}},
        {"huge: cut to the screen", screen, {-5000, -5000, 90000, 90000}, true, {0, 0, 1920, 1040}},
        {"extreme numbers", screen, {kMin, kMin, kMax, kMax}, true, {0, 0, 1920, 1040}},
        {"title bar above the screen", screen, {100, -300, 900, 400}, true, {100, 0, 900, 400}},
        {"off to the right", screen, {3000, 100, 3800, 700}, false, {}},
        {"off below", screen, {100, 1100, 900, 1700}, false, {}},
        {"a sliver on the left edge", screen, {-790, 100, 10, 700}, false, {}},
        {"a strip at the bottom", screen, {100, 1030, 900, 1700}, false, {}},
        {"enough at the right edge", screen, {1800, 100, 2600, 700}, true, {1800, 100, 1920, 700}},
        {"empty", screen, {100, 100, 100, 400}, false, {}},
        {"inverted", screen, {900, 650, 100, 50}, false, {}},
        {"inside the MDI area", mdi, {10, 10, 400, 300}, true, {10, 10, 400, 300}},
        {"where the last frame was, beyond this MDI area", mdi, {900, 600, 1400, 900}, false, {}},
        {"no area known", PlacementRect{}, {100, 50, 900, 650}, false, {}},
        {"an area smaller than a title bar", {0, 0, 30, 10}, {0, 0, 200, 200}, true, {0, 0, 30, 10}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pszWhat);
        WindowPlacement stored = MakePlacement(c.rcStored, false);
        stored.nShowCmd = SW_SHOWMINIMIZED;
        auto bytes = BuildPlacement(stored);
        auto used = ReadStoredPlacement(bytes.data(), bytes.size(), c.rcArea);
        ASSERT_EQ(used.has_value(), c.bUsed);
        if (!used) continue;
        EXPECT_EQ(used->nShowCmd, uint32_t(SW_SHOWNORMAL)) << "a minimised window opens normal";
        EXPECT_EQ(used->rcNormalPosition.left, c.rcApplied.left);
        EXPECT_EQ(used->rcNormalPosition.top, c.rcApplied.top);
        EXPECT_EQ(used->rcNormalPosition.right, c.rcApplied.right);
        EXPECT_EQ(used->rcNormalPosition.bottom, c.rcApplied.bottom);
    }
}
