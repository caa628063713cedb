// The searches: main search, move search, frontier, capture and
// quiescence searches, threat detection and the root driver. Scores are
// -9999..9999 from the side to move's view; bounds are passed beta first.
#pragma once

#include <atomic>
#include <cstdint>

#include "engine/position.h"

constexpr int SCORE_INFINITE = 9999;
constexpr int MATE_THRESHOLD = 9900;
constexpr int PV_LENGTH = 19;  // moves of a reported line
constexpr int MAX_DEPTH = 60;  // iteration depths stay in 1..MAX_DEPTH
constexpr int MAX_LINES = 99;  // below the 100-entry first-move list

// Node flags that only the searches set and read.
constexpr int NODE_COUNTER_ATTACK = 0x02;
constexpr int NODE_THREAT_CHILD = 0x20;
constexpr int NODE_SELECTIVE = 0x40;
constexpr int NODE_NO_RECAPTURE = 0x100;
constexpr int NODE_REDUCED = 0x200;
constexpr int NODE_EXTENDED = 0x400;
constexpr int NODE_THREAT_PUSHED = 0x8000;

// castleFlags bits that only the searches set and read.
constexpr int CASTLE_EVASION_SEARCHED = 0x80;
constexpr int CASTLE_NULL_CHILD = 0x100;
constexpr int CASTLE_QUIET_WHITE = 0x1000;
constexpr int CASTLE_QUIET_BLACK = 0x2000;

#ifdef VLM_DEBUG
// Moves searched by SearchMove that left their own king attacked and
// still raised alpha: a search must refute every one of them.
extern std::atomic<int64_t> nIllegalRaises;
#endif

// Set by the root driver, read by the searches.
extern int32_t rootDepth;
extern int32_t previousIterationScore;
extern std::atomic<int32_t> linesDone;
extern int32_t linesWanted;  // lines per iteration
extern int32_t easyMoveFactor;
extern std::atomic<int32_t> rootFirstMove;  // the root's current move is its best move

int Search(SearchNode *node, int depth, int beta, int alpha, Move *killers, Move *pvOut,
           const Move *excluded);
void SearchMove(SearchNode *node, int depth, int *beta, int *alpha, Move *killers, Move *pvOut,
                Move move, SearchNode *child, const Move *excluded);
int SearchFrontier(SearchNode *node, int depth, int beta, int alpha, Move *killers, Move *pvOut);
int SearchCaptures(SearchNode *node, int beta, int alpha, Move *bestOut);
int Quiesce(SearchNode *node, int beta, int alpha, Move *killers, Move *pvOut);
void FindThreat(SearchNode *node, int alpha, int depth);
void ShallowSearchForMove(SearchNode *node, int depth, int beta, int alpha, const Move pv[2]);
// The search of one move from the root; reports through the switches.
void Think(SearchNode *root, int nLines);

// Small shared tests.
inline bool IsMove(Move move) {
    return MoveFrom(move) != NO_SQUARE;
}
inline bool HasThreat(Move move) {
    return MoveTo(move) != NO_SQUARE;
}
inline int ToSquare(Move move) {
    return RealSquare(MoveTo(move));
}
inline bool NodeInCheck(const SearchNode *node) {
    return (node->nodeFlags & NODE_ATTACKED) && node->attackedPiece->kind == KIND_KING;
}
inline void ClearLine(Move *line, int n) {
    for (int i = 0; i < n; i++)
        line[i] = MOVE_NONE;
}
// Copies up to n moves of a line; every line buffer holds PV_LENGTH moves.
inline void CopyLine(Move *to, const Move *from, int n) {
    for (int i = 0; i < n; i++)
        to[i] = from[i];
}
// A popped candidate that came from elsewhere (a table move, a killer, a
// carried threat) is made only when a man of the side to move stands on
// its from-square and its to-square holds no man of that side.
inline bool CandidateIsPlayable(const SearchNode *node, Move move) {
    int from = MoveFrom(move), to = ToSquare(move);
    if (!SquareIsOnBoard(from) || !SquareIsOnBoard(to))
        return false;
    const Position *position = node->position;
    return BoardAt(position, from)->colour == node->side &&
           BoardAt(position, to)->colour != node->side;
}
// The record of the node's children: the thread's record for the next ply,
// whose pv pair (the killers of the children's own moves) stays from one
// node of that ply to the next; or, where the thread keeps no record that
// deep, spare with its pair cleared.
inline SearchNode *ChildRecord(const SearchNode *node, SearchNode *spare) {
    SearchNode *records = node->position->plyNodes;
    if (records && unsigned(node->ply + 1) < unsigned(N_PLY_NODES))
        return &records[node->ply + 1];
    spare->pv[0] = spare->pv[1] = MOVE_NONE;
    return spare;
}
// Clears the pv pair of every record the thread keeps.
void ClearPlyNodeKillers(Position *position);
inline bool QueenOnBoard(const Position *position) {
    return position->kinds[WHITE_QUEEN].count + position->kinds[BLACK_QUEEN].count > 0;
}
inline int KingSquare(const Position *position, int colour) {
    return position->kingByColour[colour + 1]->square;
}
// The side to move's king stands attacked.
bool KingIsAttacked(const SearchNode *node);
// True when a man arriving on t blocks the attack from a on v (or
// captures the attacked man's square itself).
bool BlocksLine(int t, int a, int v);
// A selective node searches only recaptures, moves to the threat square
// and captures of a more valuable man.
bool SelectiveNodeSearches(const SearchNode *node, const PieceRecord *mover,
                           const PieceRecord *target, int to);
// The next move of a search node: its pushed candidates, then the
// generated moves that were not among them; MOVE_NONE at the end.
Move NextSearchMove(SearchNode *node, bool *generating, Move *tried, int *nTried);
// The window of a node that helpers may share: read and written as
// relaxed atomics, since every raise goes under the split lock while the
// other threads read it without.
inline int LoadBound(const int *bound) {
    return std::atomic_ref<int>(*const_cast<int *>(bound)).load(std::memory_order_relaxed);
}
inline void StoreBound(int *bound, int value) {
    std::atomic_ref<int>(*bound).store(value, std::memory_order_relaxed);
}
// A shared window is read alpha first, then beta. A raise that reaches a
// capped beta widens beta before it stores alpha (with release), so a
// thread that reads the raised alpha (with acquire) reads the widened beta
// too: it sees alpha >= beta only when the node is cut.
inline int LoadAlpha(const int *alpha) {
    return std::atomic_ref<int>(*const_cast<int *>(alpha)).load(std::memory_order_acquire);
}
inline void StoreRaisedAlpha(int *alpha, int value) {
    std::atomic_ref<int>(*alpha).store(value, std::memory_order_release);
}
inline bool WindowIsClosed(const int *beta, const int *alpha) {
    int a = LoadAlpha(alpha);
    return a >= LoadBound(beta);
}
// Helpers read and raise the node's window: it is a helper's root, or its
// thread's split point (from the first hand-over until all are back).
inline bool BoundsAreShared(const SearchNode *node) {
    return (node->nodeFlags & NODE_HELPER) || node->position->splitPoint == node;
}
