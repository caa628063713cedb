// Move generation: the exact order the generator hands out moves (move
// text matching takes the first match in this order), castling safety,
// and the guards of the table-move and capture pushes.
#include "engine/move_gen.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "board_fixture.h"
#include "engine/legal_moves.h"

namespace {

std::vector<std::string> GeneratedMoves(SearchNode *node) {
    std::vector<std::string> moves;
    ResetMoveList(node);
    Move move;
    while (NextMove(node, &move) != MOVE_NONE)
        moves.push_back(MoveText(move));
    return moves;
}

std::string Joined(const std::vector<std::string> &moves) {
    std::string text;
    for (const std::string &m : moves)
        text += (text.empty() ? "" : " ") + m;
    return text;
}

TEST(MoveGeneration, StartPositionOrder) {
    static TestBoard board;
    ASSERT_TRUE(SetUpBoard(&board, nullptr));
    EXPECT_EQ(Joined(GeneratedMoves(&board.root)),
              "a2a4 a2a3 b2b4 b2b3 c2c4 c2c3 d2d4 d2d3 e2e4 e2e3 f2f4 f2f3 g2g4 g2g3 h2h4 h2h3 "
              "b1a3 b1c3 g1f3 g1h3");
    Move move;
    EXPECT_EQ(NextMove(&board.root, &move), MOVE_NONE);
    EXPECT_EQ(move, MOVE_NONE);
}

TEST(MoveGeneration, PromotionOrder) {
    static TestBoard board;
    ASSERT_TRUE(SetUpBoard(&board, "4k3/8/8/8/8/8/1p6/R3K3 b - -"));
    std::vector<std::string> moves = GeneratedMoves(&board.root);
    ASSERT_GE(moves.size(), 8u);
    EXPECT_EQ(Joined({moves.begin(), moves.begin() + 8}),
              "b2a1 b2a1n b2a1b b2a1r b2b1 b2b1n b2b1b b2b1r");
    // The raw bytes of the black under-promotions.
    ResetMoveList(&board.root);
    Move move;
    std::vector<int> toBytes;
    for (int i = 0; i < 4; i++)
        toBytes.push_back(MoveTo(NextMove(&board.root, &move)));
    EXPECT_EQ(toBytes, (std::vector<int>{0x00, 0xD0, 0xE0, 0xF0}));
    // White's bytes go up from rank 8.
    ASSERT_TRUE(SetUpBoard(&board, "k7/3P4/8/8/8/8/8/4K3 w - -"));
    ResetMoveList(&board.root);
    toBytes.clear();
    for (int i = 0; i < 4; i++)
        toBytes.push_back(MoveTo(NextMove(&board.root, &move)));
    EXPECT_EQ(toBytes, (std::vector<int>{0x73, 0xA3, 0x93, 0x83}));
}

TEST(MoveGeneration, EnPassantComesWithTheKing) {
    static TestBoard board;
    ASSERT_TRUE(SetUpBoard(&board, "4k3/8/8/3PpP2/8/8/8/4K3 w - e6 0 1"));
    EXPECT_EQ(board.root.epSquare, 0x54);
    EXPECT_EQ(Joined(GeneratedMoves(&board.root)), "d5d6 f5f6 e1d2 e1f2 e1e2 e1d1 e1f1 d5e6 f5e6");
}

TEST(MoveGeneration, CastlingNeedsSafeSquares) {
    static TestBoard board;
    ASSERT_TRUE(SetUpBoard(&board, "4k3/8/8/8/8/8/8/4K2R w K -"));
    EXPECT_EQ(GeneratedMoves(&board.root).back(), "e1g1");
    // A bishop attacking f1 forbids it.
    ASSERT_TRUE(SetUpBoard(&board, "4k3/8/8/8/8/7b/8/4K2R w K -"));
    std::vector<std::string> moves = GeneratedMoves(&board.root);
    EXPECT_EQ(std::find(moves.begin(), moves.end(), "e1g1"), moves.end());
    // The queen side needs b1 empty as well.
    ASSERT_TRUE(SetUpBoard(&board, "4k3/8/8/8/8/8/8/R3K3 w Q -"));
    EXPECT_EQ(GeneratedMoves(&board.root).back(), "e1c1");
    ASSERT_TRUE(SetUpBoard(&board, "4k3/8/8/8/8/8/8/RN2K3 w Q -"));
    moves = GeneratedMoves(&board.root);
    EXPECT_EQ(std::find(moves.begin(), moves.end(), "e1c1"), moves.end());
}

TEST(MoveGeneration, AttackedManGoesFirst) {
    static TestBoard board;
    ASSERT_TRUE(SetUpBoard(&board, "4k3/8/8/8/8/8/P7/1N2K3 w - -"));
    PieceRecord *knight = BoardAt(&board.position, 0x01);
    board.root.nodeFlags |= NODE_ATTACKED;
    board.root.attackedPiece = knight;
    std::vector<std::string> moves = GeneratedMoves(&board.root);
    EXPECT_EQ(Joined(moves), "b1a3 b1c3 b1d2 a2a4 a2a3 e1d2 e1f2 e1e2 e1d1 e1f1");
}

std::vector<std::string> PushedMoves(SearchNode *node, std::vector<Move> candidates) {
    ResetMoveList(node);
    for (Move m : candidates)
        PushIfPseudoLegal(node, m);
    std::vector<std::string> pushed;
    for (Move *m = node->candidates; m < node->moveCursor; m++)
        pushed.push_back(MoveText(*m));
    ResetMoveList(node);
    return pushed;
}

TEST(PushIfPseudoLegal, RefusesWhatTheGeneratorWouldNotMake) {
    static TestBoard board;
    ASSERT_TRUE(SetUpBoard(&board, "r3k2r/8/8/3p4/8/8/P6P/R3K2R w KQkq d6 0 1"));
    std::vector<Move> candidates = {
        MoveFromText("e1g1"),  // castling
        MoveFromText("a2b3"),  // pawn capture onto an empty square
        MoveFromText("a1a3"),  // rook through its own pawn
        MoveFromText("a2a4"),  // double step: fine
        MoveFromText("h1h2"),  // own man
        MoveFromText("e1e2"),  // king step: fine
        MoveFromText("e8e7"),  // the opponent's man
        Move(0x0C0C),          // no move
        Move(0x2817),          // h2 pawn "capturing" off the board to 0x28
        Move(0x1907),          // h1 rook to an off-board knight offset
        Move(0xA717),          // under-promotion byte
        Move(0x43FF),          // garbage from-square
    };
    EXPECT_EQ(Joined(PushedMoves(&board.root, candidates)), "a2a4 e1e2");
}

TEST(PushCaptures, CheaperAttackerFirst) {
    static TestBoard board;
    ASSERT_TRUE(SetUpBoard(&board, "4k3/8/8/3r4/8/2N5/4P3/3QK3 w - -"));
    ResetMoveList(&board.root);
    PushCaptures(&board.root, 0x43);
    Move move;
    EXPECT_EQ(MoveText(NextMove(&board.root, &move)), "c3d5");
    EXPECT_EQ(MoveText(NextMove(&board.root, &move)), "d1d5");
    ResetMoveList(&board.root);
    PushCaptures(&board.root, NO_SQUARE);
    EXPECT_EQ(board.root.moveCursor, board.root.candidates);
}

TEST(PushMove, FullStackDropsMoves) {
    static TestBoard board;
    ASSERT_TRUE(SetUpBoard(&board, nullptr));
    ResetMoveList(&board.root);
    for (int i = 0; i < N_CANDIDATES + 10; i++)
        PushMove(&board.root, MOVE_NONE);
    EXPECT_EQ(board.root.moveCursor, board.root.candidates + N_CANDIDATES);
    EXPECT_EQ(PushMove(&board.root, MOVE_NONE), nullptr);
    ResetMoveList(&board.root);
}

TEST(LegalMoves, FilterPinsAndChecks) {
    static TestBoard board;
    // The e2 knight is pinned; the king may take d1 or step to f2 only.
    ASSERT_TRUE(SetUpBoard(&board, "4r1k1/8/8/8/8/8/4N3/3rK3 w - -"));
    Move moves[MAX_LEGAL_MOVES];
    int n = GenerateLegalMoves(&board.root, moves);
    std::vector<std::string> texts;
    for (int i = 0; i < n; i++)
        texts.push_back(MoveText(moves[i]));
    EXPECT_EQ(Joined(texts), "e1f2 e1d1");
}

}  // namespace
