// Test-side endgame solver: its own move rules, a retrograde analysis of
// kqk, krk, kbk, knk, kpk and kpkp, and its own numbering of positions, so
// that the tables it writes check the program's reading of real files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum SolverEnding {
    SOLVER_KQK,
    SOLVER_KRK,
    SOLVER_KBK,
    SOLVER_KNK,
    SOLVER_KPK,
    SOLVER_KPKP,
    SOLVER_ENDINGS
};
enum SolverManType { MAN_QUEEN, MAN_ROOK, MAN_BISHOP, MAN_KNIGHT, MAN_PAWN };

struct SolverMan {
    int type;  // SolverManType
    bool white;
    int square;  // 0..63, a1 = 0
};

struct SolverPosition {
    bool whiteToMove = true;
    int whiteKing = 0, blackKing = 0;
    int nMen = 0;
    SolverMan men[2] = {};
    int epSquare = -1;  // target square of an en-passant capture, -1 none
};

struct SolverMove {
    int from, to;
    int promotion;  // SolverManType, -1 none
    SolverPosition after;
};

// Values for the side to move: 0 draw, p > 0 it mates on ply p, -(p + 1)
// it is mated on ply p (-1 mated now); SOLVER_ILLEGAL for no position.
constexpr int16_t SOLVER_ILLEGAL = INT16_MIN;
int MovesToMate(int16_t value);  // win: mating move's number; loss: own moves left
bool ValueIsWin(int16_t value);
bool ValueIsLoss(int16_t value);

// Solves the 3-men endings, and kpkp too when asked; later calls reuse.
// kpkp holds one rule of its own: a promotion wins at once for the side
// that promotes, since the 4-men endings it leads to are not solved.
void SolveEndings(bool withKpkp);
const char *SolverEndingName(int ending);
int SolverEndingMan(int ending);  // SolverManType of white's first man
bool SolverEndingIsSolved(int ending);
// Value of any position whose material is solved (colours either way),
// or of bare kings (a draw); SOLVER_ILLEGAL otherwise.
int16_t SolverValue(const SolverPosition &position);
// Every legal position of the ending with white holding its men, both
// sides to move, e.p. positions included.
void ForEachSolvedPosition(int ending,
                           void (*visit)(const SolverPosition &position, int16_t value,
                                         void *context),
                           void *context);
std::vector<SolverMove> SolverLegalMoves(const SolverPosition &position);
// Colours swapped and the board turned upside down: the same game.
SolverPosition ColourMirror(const SolverPosition &position);

// Number of a position (white holding the ending's men) in the file of
// its side to move, by the solver's own numbering; -1 if not numbered.
// These and the file writing live in tb_numbering.cpp.
int64_t SolverPositionNumber(int ending, const SolverPosition &position);
int64_t SolverStoredCount(int ending, int side);
// The file byte of a value: 0 draw, 127 - n win in n, n - 127 loss after
// n moves, 127 mated now or no position.
int8_t SolverByte(int16_t value);
// Writes the solved tables (kpkp only if solved) into directory as plain
// ".nbw"/".nbb" files and/or compressed ".emd" files. False with a
// message on failure.
bool WriteSolvedTables(const std::string &directory, bool plain, bool compressed,
                       std::string *error);
