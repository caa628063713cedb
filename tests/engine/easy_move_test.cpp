// The root driver's easy-move test under a clock: after an early iteration
// it searches every move but the best in the window (s - 151, s - 70); how
// far the others stay below s sets the factor that stretches or shortens
// the thinking time. The clock is long enough that the time used never
// counts, so the outcome is the search's alone.
#include <gtest/gtest.h>

#include "board_fixture.h"
#include "engine/game.h"
#include "engine/module_state.h"
#include "engine/report_wrappers.h"
#include "engine/search.h"
#include "engine/search_init.h"
#include "engine/transposition_table.h"

namespace {

// Sets up fen, plays the move (text, may be empty) and thinks on a long
// clock up to depth 9 (iterations 3, 6, 9: the test runs after 3 and 6).
// Returns the easy-move factor the search left behind.
int EasyMoveFactorAfter(const char *fen, const char *moveText) {
    FrontEndCallbacks callbacks = {};
    ResetModuleState(&callbacks);
    InstallReportHooks();
    if (!hashTable.entries)
        InitSearch(4 << 20);
    ClearHashTable(&hashTable);
    EXPECT_EQ(SetGamePosition(fen), 0) << fen;
    if (*moveText) {
        EXPECT_EQ(ApplyMove(MoveFromText(moveText)), 0) << moveText;
    }
    settings.Depth_limit = 9;
    timeControlKind = 6;  // time left, no moves to go
    limitValues[0] = 1000000;
    limitValues[1] = 0;
    stopSearch = 0;
    searchState = 1;
    rootSide = rootNode.side;
    easyMoveFactor = 0;
    Think(&rootNode, 1);
    searchState = 0;
    settings = defaultSettings;
    return easyMoveFactor;
}

TEST(EasyMove, FactorFollowsTheGapBelowTheBestMove) {
    // Recapturing the queen: every other move loses it, gap 150 or more.
    EXPECT_EQ(EasyMoveFactorAfter("4k3/8/8/8/3q4/8/3Q4/4K3 b - - 0 1", "d4d2"), 50);
    // Taking a hanging queen is not a recapture.
    EXPECT_EQ(EasyMoveFactorAfter("4k3/8/8/8/3q4/8/8/3QK3 w - - 0 1", ""), 30);
    // The opening: no move stands out.
    EXPECT_EQ(EasyMoveFactorAfter("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", ""),
              10);
}

}  // namespace
