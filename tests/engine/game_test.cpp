// The game: set-up through the module's routines, game moves with their
// legality check, the record and the key history on long games.
#include "engine/game.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstring>

#include "board_fixture.h"
#include "engine/board_check.h"
#include "engine/hash_keys.h"
#include "engine/module_state.h"

namespace {

TEST(Game, SetPositionAndMoveNumbers) {
    ASSERT_EQ(SetGamePosition(nullptr), 0);
    EXPECT_EQ(moveNumber, 1);
    EXPECT_EQ(rootNode.parent, nullptr);
    EXPECT_EQ(nGameHistory, 1);
    ASSERT_EQ(ApplyMove(MoveFromText("e2e4")), 0);
    EXPECT_EQ(moveNumber, 1);
    ASSERT_EQ(ApplyMove(MoveFromText("e7e5")), 0);
    EXPECT_EQ(moveNumber, 2);
    EXPECT_EQ(gameRecord.plyCount, 2);
    EXPECT_EQ(gameRecord.entries[1].move, MoveFromText("e7e5"));
    EXPECT_EQ(rootNode.parent, nullptr);
    EXPECT_EQ(rootNode.moveCursor, rootNode.candidates);
    EXPECT_EQ(nGameHistory, 1);  // a pawn move starts the history again
    ASSERT_EQ(SetGamePosition("4k3/8/8/8/8/8/8/4K3 w - - 0 1"), 0);
    EXPECT_EQ(moveNumber, 21);
}

TEST(Game, IllegalMovesAreRefused) {
    ASSERT_EQ(SetGamePosition("4r1k1/8/8/8/8/8/4N3/4K3 w - - 0 1"), 0);
    HashKey key = rootNode.key;
    PositionImage before, after;
    TakePositionImage(&mainPosition, &before);
    const Move refused[] = {
        MoveFromText("e2c3"),  // pinned knight
        MoveFromText("e1e3"),  // not a king move
        MoveFromText("e8e7"),  // the opponent's man
        MoveFromText("a1a2"),  // nothing there
        MOVE_NONE,
        Move(0xFFFF),
        MakeMoveCode(0x14, 0x88),  // off the board
    };
    for (Move move : refused)
        EXPECT_EQ(ApplyMove(move), -1) << MoveText(move);
    TakePositionImage(&mainPosition, &after);
    EXPECT_TRUE(PositionImagesEqual(&before, &after));
    EXPECT_EQ(rootNode.key.lock32, key.lock32);
    EXPECT_EQ(gameRecord.plyCount, 0);
    EXPECT_EQ(ApplyMove(MoveFromText("e1d1")), 0);
}

TEST(Game, BadPositionKeepsTheGame) {
    ASSERT_EQ(SetGamePosition(nullptr), 0);
    ASSERT_EQ(ApplyMove(MoveFromText("g1f3")), 0);
    HashKey key = rootNode.key;
    EXPECT_EQ(SetGamePosition("8/8/8/8/8/8/8/8 w"), -1);
    EXPECT_EQ(SetGamePosition("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq e9"), -1);
    EXPECT_EQ(rootNode.key.lock32, key.lock32);
    EXPECT_EQ(gameRecord.plyCount, 1);
    EXPECT_EQ(ApplyMove(MoveFromText("g8f6")), 0);
}

TEST(Game, PromotionLetters) {
    ASSERT_EQ(SetGamePosition("4k3/P7/8/8/8/8/7p/4K3 w - - 0 1"), 0);
    ASSERT_EQ(PlayGameMove(MoveFromText("a7a8"), 'N'), 0);
    EXPECT_EQ(BoardAt(&mainPosition, 0x70)->code, WHITE_KNIGHT);
    ASSERT_EQ(PlayGameMove(MoveFromText("h2h1"), 'R'), 0);
    EXPECT_EQ(BoardAt(&mainPosition, 0x07)->code, BLACK_ROOK);
    // A blank keeps the move: a plain last-rank square is a queen.
    ASSERT_EQ(SetGamePosition("4k3/P7/8/8/8/8/8/4K3 w - - 0 1"), 0);
    ASSERT_EQ(PlayGameMove(MoveFromText("a7a8"), ' '), 0);
    EXPECT_EQ(BoardAt(&mainPosition, 0x70)->code, WHITE_QUEEN);
    HashKey scratch = ComputeNodeKey(&rootNode);
    EXPECT_EQ(scratch.lock32, rootNode.key.lock32);
}

TEST(Game, LongGamesStayInsideTheRecordAndHistory) {
    ASSERT_EQ(SetGamePosition("4k3/8/8/8/8/8/8/4K1N1 w - - 0 1"), 0);
    const char *shuffle[4] = {"g1f3", "e8d8", "f3g1", "d8e8"};
    for (int ply = 0; ply < 800; ply++) {
        ASSERT_EQ(ApplyMove(MoveFromText(shuffle[ply % 4])), 0) << ply;
        ASSERT_LE(nGameHistory, GAME_HISTORY_SLOTS);
        ASSERT_EQ(rootNode.parent, nullptr);
    }
    EXPECT_EQ(gameRecord.plyCount, GAME_RECORD_ENTRIES);
    EXPECT_EQ(rootNode.halfMoves, 800);
    EXPECT_EQ(nGameHistory, GAME_HISTORY_SLOTS);
    // The history keeps the latest positions: the last slot is the root's.
    EXPECT_EQ(gameHistory[GAME_HISTORY_SLOTS - 1].lock32, rootNode.key.lock32);
    EXPECT_EQ(gameHistory[GAME_HISTORY_SLOTS - 5].lock32, rootNode.key.lock32);
}

// The module's own copy of the game, through its operation table.
TEST(Game, ModuleSetPositionAndPlayMove) {
    void *handle = dlopen(VLM_MODULE_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(handle, nullptr) << dlerror();
    auto init = reinterpret_cast<EngineInitFunction>(dlsym(handle, "EngineInit"));
    ASSERT_NE(init, nullptr);
    FrontEndCallbacks callbacks;
    memset(&callbacks, 0, sizeof callbacks);
    EngineOps ops;
    memset(&ops, 0, sizeof ops);
    init(&callbacks, &ops);
    EXPECT_EQ(ops.setPosition("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1"), 0);
    EXPECT_EQ(ops.playMove(MoveFromText("e2e4"), ' '), 0);
    EXPECT_EQ(ops.playMove(MoveFromText("e2e4"), ' '), -1);  // no pawn there now
    EXPECT_EQ(ops.playMove(MoveFromText("e7e5"), ' '), 0);
    EXPECT_EQ(ops.setPosition("8/8/8/8/8/8/8/8 w"), -1);
    EXPECT_EQ(ops.setPosition("4k3/P7/8/8/8/8/8/4K3 w - - 0 1"), 0);
    EXPECT_EQ(ops.playMove(MoveFromText("a7a8"), 'N'), 0);
}

}  // namespace
