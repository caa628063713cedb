// File-mirror property of the evaluation: a position and its left-right
// mirror (a-file <-> h-file, castling rights dropped) score the same,
// except where the full evaluation is one-sided on purpose. Only scores are
// compared: the pawn square tables that make and unmake read are one-sided
// too (the endgame lays a white front pawn's run on the file toward a from
// one rank further up than on the file toward h).
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "engine/eval_terms.h"
#include "engine/eval_weights.h"
#include "engine/legal_moves.h"
#include "engine/make_move.h"
#include "eval_fixture.h"

namespace {

// The board of a node as FEN, without castling rights or en passant.
std::string NodeFen(const SearchNode *node) {
    static const char LETTERS[N_PIECE_CODES + 1] = "kqrbnp.PNBRQK";
    const Position *pos = node->position;
    std::string fen;
    for (int r = 7; r >= 0; r--) {
        int empty = 0;
        for (int f = 0; f < 8; f++) {
            int code = CodeAt(pos, MakeSquare(f, r));
            if (code == EMPTY_CODE) {
                empty++;
                continue;
            }
            if (empty)
                fen += char('0' + empty), empty = 0;
            fen += LETTERS[code];
        }
        if (empty)
            fen += char('0' + empty);
        if (r)
            fen += '/';
    }
    fen += node->side > 0 ? " w - - " : " b - - ";
    return fen + std::to_string(node->halfMoves) + " 1";
}

// The left-right mirror of a FEN written by NodeFen.
std::string FileMirrorFen(const std::string &fen) {
    size_t end = fen.find(' ');
    std::string out, rank;
    for (size_t i = 0; i <= end; i++) {
        if (i < end && fen[i] != '/') {
            rank += fen[i];
            continue;
        }
        out.append(rank.rbegin(), rank.rend());
        if (i < end)
            out += '/';
        rank.clear();
    }
    return out + fen.substr(end);
}

uint32_t NextRandom(uint32_t *state) {
    *state ^= *state << 13;
    *state ^= *state >> 17;
    *state ^= *state << 5;
    return *state;
}

// Positions of one random game from fen, captures preferred so that the
// game reaches an ending; every third ply is kept.
void AddRandomGame(const std::string &fen, uint32_t seed, std::vector<std::string> *fens) {
    constexpr int MAX_PLIES = 300;
    static TestBoard board;
    static SearchNode nodes[MAX_PLIES + 1];
    ASSERT_TRUE(SetUpBoard(&board, fen.c_str())) << fen;
    nodes[0] = board.root;
    int ply = 0;
    for (; ply < MAX_PLIES; ply++) {
        Move moves[MAX_LEGAL_MOVES], captures[MAX_LEGAL_MOVES];
        int n = GenerateLegalMoves(&nodes[ply], moves), nCaptures = 0;
        if (n == 0 || nodes[ply].halfMoves >= 100)
            break;
        for (int i = 0; i < n; i++)
            if (!SquareIsEmpty(&board.position, RealSquare(MoveTo(moves[i]))))
                captures[nCaptures++] = moves[i];
        Move move = nCaptures && NextRandom(&seed) % 3 ? captures[NextRandom(&seed) % nCaptures]
                                                       : moves[NextRandom(&seed) % n];
        MakeMove(&nodes[ply], move, &nodes[ply + 1]);
        if (ply % 3 == 2)
            fens->push_back(NodeFen(&nodes[ply + 1]));
    }
    while (ply > 0)
        UnmakeMove(&nodes[ply--]);
}

// The suite positions without castling rights or en passant, and random
// games from them, from the start position and from it without queens.
std::vector<std::string> MirrorTestPositions() {
    std::vector<std::string> starts = {
        "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w - - 0 1",
        "rnb1kbnr/pppppppp/8/8/8/8/PPPPPPPP/RNB1KBNR w - - 0 1",
    };
    std::ifstream file(std::string(VLM_TEST_DATA_DIR) + "/perftsuite.epd");
    std::string line;
    while (std::getline(file, line)) {
        std::istringstream words(line);
        std::string board, side;
        words >> board >> side;
        starts.push_back(board + " " + side + " - - 0 1");
    }
    EXPECT_GT(starts.size(), 100u);
    std::vector<std::string> fens = starts;
    for (size_t i = 0; i < starts.size(); i++)
        for (uint32_t game = 0; game < (i == 0 ? 30u : (i == 1 ? 120u : 2u)); game++)
            AddRandomGame(starts[i], 0x9E3779B9u + 7919u * game + 104729u * uint32_t(i), &fens);
    return fens;
}

// What a side's rooks shutting in its back rank cost its men: the squares
// from the e-file up to a rook on f1..h1 (or down to one on a1..d1) whose
// file has own pawns, three files toward h and four toward a. A knight or
// bishop there loses 15, the king 60.
int ShutInCost(const Position *pos, int colour) {
    int rook = colour > 0 ? WHITE_ROOK : BLACK_ROOK, back = colour > 0 ? 0 : 7;
    int limits[2] = {-1, -1};
    const int scans[2][4] = {{7, 6, 5, -1}, {0, 1, 2, 3}};
    for (int side = 0; side < 2; side++) {
        for (int f : scans[side]) {
            if (f < 0 || CodeAt(pos, MakeSquare(f, back)) != rook)
                continue;
            limits[side] = PawnsOnFile(SideOf(pos, colour), f) ? f : -1;
            if (limits[side] < 0)
                break;
        }
    }
    int cost = 0;
    for (int f = 0; f < 8; f++) {
        bool shut = (limits[0] >= 0 && f >= 4 && f < limits[0]) ||
                    (limits[1] >= 0 && f > limits[1] && f <= 4);
        const PieceRecord *man = BoardAt(pos, MakeSquare(f, back));
        if (!shut || man->colour != colour)
            continue;
        if (man->kind == KIND_KNIGHT || man->kind == KIND_BISHOP)
            cost += 15;
        if (man->kind == KIND_KING)
            cost += 60;
    }
    return cost;
}

// The terms of the full evaluation that are left-right one-sided on purpose:
// - the king zone with a queen on the board: on its far ranks it reaches a
//   file further toward h than toward a, and the storm entry toward h is
//   skipped where the one toward a is not;
// - rooks shutting in their own back rank, counted from the e-file;
// - castling rights: the king-side shelter square, the zone pairs of a king
//   still on e1/e8 and the rights entry there (the mirror drops the rights,
//   and so do all these positions).
bool OneSided(const Position *a, const Position *b) {
    for (const Position *pos : {a, b}) {
        const EvalWorkArea *area = &pos->evalArea;
        if (area->queensOnBoard &&
            (area->kingZoneSquare[0] != NO_SQUARE || area->kingZoneSquare[1] != NO_SQUARE))
            return true;
    }
    return ShutInCost(a, WHITE) != ShutInCost(b, WHITE) ||
           ShutInCost(a, BLACK) != ShutInCost(b, BLACK);
}

int EvaluateFen(TestBoard *board, const std::string &fen, int engineSide) {
    EXPECT_TRUE(SetUpBoard(board, fen.c_str())) << fen;
    rootSide = engineSide;
    Evaluate(&board->root, 1);
    return board->root.score;
}

TEST(EvalFileMirror, FileOrderDoesNotChangeTheScore) {
    ResetEvaluationForTest();
    static TestBoard a, b;
    // Endgame: the c7 pawn's span lays bit 1 on b6..b4 and black's bit 4
    // must run from there over b4..b7, as it does on the g-file in the
    // mirror; likewise white's bit 4 on a5..a2 from the b2 pawn's span.
    EXPECT_EQ(EvaluateFen(&a, "r3k3/2p5/8/8/8/8/1PP5/4K3 w - - 0 1", WHITE), -458);
    EXPECT_EQ(EvaluateFen(&b, "3k3r/5p2/8/8/8/8/5PP1/3K4 w - - 0 1", WHITE), -458);
    // Full evaluation.
    EXPECT_EQ(EvaluateFen(&a, "4k3/pp3n2/8/8/8/R6r/PP3N2/4K3 w - - 0 1", WHITE), -6);
    EXPECT_EQ(EvaluateFen(&b, "3k4/2n3pp/8/8/8/r6R/2N3PP/3K4 w - - 0 1", WHITE), -6);
}

TEST(EvalFileMirror, StartPositionSpansReachTheRookFiles) {
    ResetEvaluationForTest();
    static TestBoard board;
    EvaluateFen(&board, "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w - - 0 1", WHITE);
    const uint8_t *white = SideOf(&board.position, WHITE)->eval.pawnFlags;
    const uint8_t *black = SideOf(&board.position, BLACK)->eval.pawnFlags;
    // The b-pawns lay bit 1 on a3..a5 and a4..a6; bit 4 runs back from there.
    for (int r = 0; r <= 4; r++)
        EXPECT_TRUE(white[MakeSquare(0, r)] & PAWN_EXPOSED) << r;
    for (int r = 3; r <= 7; r++)
        EXPECT_TRUE(black[MakeSquare(0, r)] & PAWN_EXPOSED) << r;
    for (int s = 0; s < 128; s++) {
        if (!SquareIsOnBoard(s))
            continue;
        EXPECT_EQ(white[s], white[s ^ 7]) << s;
        EXPECT_EQ(black[s], black[s ^ 7]) << s;
    }
}

TEST(EvalFileMirror, MirroredFilesKeepTheScore) {
    ResetEvaluationForTest();
    std::vector<std::string> fens = MirrorTestPositions();
    static TestBoard a, b;
    int nEndgame = 0, nFull = 0, nOneSided = 0;
    for (size_t i = 0; i < fens.size() && !::testing::Test::HasFailure(); i++) {
        std::string mirror = FileMirrorFen(fens[i]);
        int engineSide = i % 2 ? WHITE : BLACK;
        int scoreA = EvaluateFen(&a, fens[i], engineSide);
        int scoreB = EvaluateFen(&b, mirror, engineSide);
        if (a.position.pieceMaterial <= endgameMaterialThreshold) {
            nEndgame++;
            EXPECT_EQ(scoreA, scoreB) << fens[i] << " / " << mirror;
        } else if (OneSided(&a.position, &b.position)) {
            nOneSided++;
        } else {
            nFull++;
            EXPECT_EQ(scoreA, scoreB) << fens[i] << " / " << mirror;
        }
    }
    printf("file mirror: %d endgame, %d full exact, %d full one-sided\n", nEndgame, nFull,
           nOneSided);
    EXPECT_GT(nEndgame, 5000);
    EXPECT_GT(nFull, 1000);
}

}  // namespace
