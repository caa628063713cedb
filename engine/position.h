// The board every part of the core works on: squares, piece codes and
// kinds, piece records in doubly linked side lists, the per-thread
// Position with its 0x88 board of record pointers, and the SearchNode,
// one per ply of a search path.
#pragma once

#include <atomic>
#include <cstdint>

#include "engine/engine_api.h"
#include "engine/eval_work_area.h"
#include "engine/search_words.h"

// Colours; a node's side to move uses the same values.
constexpr int WHITE = 1;
constexpr int BLACK = -1;

// Piece codes. A black code is 12 minus the white code of the same kind;
// the colour-free kind is the white code (6 for the empty kind).
enum PieceCode {
    BLACK_KING = 0,
    BLACK_QUEEN = 1,
    BLACK_ROOK = 2,
    BLACK_BISHOP = 3,
    BLACK_KNIGHT = 4,
    BLACK_PAWN = 5,
    EMPTY_CODE = 6,
    WHITE_PAWN = 7,
    WHITE_KNIGHT = 8,
    WHITE_BISHOP = 9,
    WHITE_ROOK = 10,
    WHITE_QUEEN = 11,
    WHITE_KING = 12,
};
constexpr int N_PIECE_CODES = 13;

// Colour-free kinds (the white codes).
constexpr int KIND_EMPTY = 6;
constexpr int KIND_PAWN = 7;
constexpr int KIND_KNIGHT = 8;
constexpr int KIND_BISHOP = 9;
constexpr int KIND_ROOK = 10;
constexpr int KIND_QUEEN = 11;
constexpr int KIND_KING = 12;

// attackMask bits of the kinds; the three slider bits together are 0x0E.
constexpr int ATTACK_KING = 0x01;
constexpr int ATTACK_QUEEN = 0x02;
constexpr int ATTACK_ROOK = 0x04;
constexpr int ATTACK_BISHOP = 0x08;
constexpr int ATTACK_KNIGHT = 0x10;
constexpr int ATTACK_WHITE_PAWN = 0x20;
constexpr int ATTACK_BLACK_PAWN = 0x40;
constexpr int ATTACK_SLIDERS = 0x0E;

// castleFlags bits. A child inherits the word.
constexpr int CASTLE_WHITE_KING_SIDE = 0x02;
constexpr int CASTLE_BLACK_KING_SIDE = 0x04;
constexpr int CASTLE_WHITE_QUEEN_SIDE = 0x08;
constexpr int CASTLE_BLACK_QUEEN_SIDE = 0x10;
constexpr int CASTLE_ALL = 0x1E;
constexpr int WHITE_CANNOT_WIN = 0x20;
constexpr int BLACK_CANNOT_WIN = 0x40;
constexpr int NO_PROGRESS_PULL_ON = 0x400;  // the no-progress pull is inside score
constexpr int SCORE_FINAL = 0x800;          // king captured or reversals ran out

// nodeFlags bits; cleared in every child. The searches own the others
// (0x02, 0x20, 0x40, 0x100, 0x200, 0x400, 0x8000).
constexpr int NODE_SPECIAL_MOVE = 0x01;  // castling, en passant or promotion led here
constexpr int NODE_EP_SQUARE = 0x04;     // epSquare holds a square
constexpr int NODE_ATTACKED = 0x08;      // attackSquares and attackedPiece valid
constexpr int NODE_MATE_THREAT = 0x80;
constexpr int NODE_NO_THREAT = 0x800;
constexpr int NODE_NO_PIECES = 0x1000;  // no knights, bishops, rooks or queens left
constexpr int NODE_HELPER = 0x2000;     // a helper thread's node

// Scores.
constexpr int SCORE_MATE = 9999;

// Square helpers: 0x88 numbering, square = rank * 16 + file.
constexpr int SQUARE_A1 = 0x00;
constexpr int SQUARE_C1 = 0x02;
constexpr int SQUARE_E1 = 0x04;
constexpr int SQUARE_G1 = 0x06;
constexpr int SQUARE_H1 = 0x07;
constexpr int SQUARE_A8 = 0x70;
constexpr int SQUARE_E8 = 0x74;
constexpr int SQUARE_H8 = 0x77;

inline bool SquareIsOnBoard(int square) {
    return (square & ~0x77) == 0;
}
inline int FileOf(int square) {
    return square & 0x0F;
}
inline int RankOf(int square) {
    return square >> 4;
}
inline int MakeSquare(int file, int rank) {
    return rank * 16 + file;
}

// The real square of a to byte: under-promotion bytes (bit 7 set) fold
// back onto rank 8 (0x80..0xBF) or rank 1 (0xC0..0xFF).
inline int RealSquare(int toByte) {
    if (toByte < 0x80)
        return toByte;
    return (toByte & 0x0F) + (toByte < 0xC0 ? 0x70 : 0);
}
inline bool IsUnderPromotion(Move move) {
    return (move & 0x8000) != 0;
}

struct HashKey {
    uint32_t lock32;
    uint16_t lock16;
};
constexpr uint32_t KEY_BLACK_TO_MOVE = 0x80000000u;  // flipped in lock32 when black moves

inline void XorKey(HashKey *key, const HashKey *other) {
    key->lock32 ^= other->lock32;
    key->lock16 = uint16_t(key->lock16 ^ other->lock16);
}

struct Position;
struct SearchNode;

// One per piece code in every Position, rebuilt from the static templates
// at each set-up.
struct PieceKindRecord {
    PieceKindRecord *next;  // next kind in code order; NULL after code 12
    int32_t code;
    int32_t kind;
    int32_t rank;  // value order: king 12, queen 11, rook 10, minor 9, pawn 7, empty 6
    char letter;   // FEN letter; "E" for the empty kind
    int32_t colour;
    int32_t attackMask;
    int32_t value;         // middlegame value
    int32_t endgameValue;  // endgame value
    const int32_t *steps;  // first and last (inclusive) of the kind's directions
    const int32_t *stepsEnd;
    int16_t *squareTable;     // positional value per 0x88 square (colour's half of its map)
    const HashKey *keyTable;  // hash key per 0x88 square
    int32_t count;            // men of this kind on the board
    int32_t effectiveValue;   // the value the incremental score uses
};

// One per man. The fields after kindRecord copy the kind record (in its
// order, without its list link, colour and count) so that the hot paths
// read them straight from the piece; the copy is refreshed whenever the
// man changes kind.
struct PieceRecord {
    PieceRecord *next;  // links in the side list; a captured man keeps both
    PieceRecord *prev;
    int32_t square;       // 0x88 square; capture square + 8 while captured; 12 out of play
    int32_t squareValue;  // squareTable entry + effectiveValue (+ open-file bonus for rooks)
    int32_t colour;       // +1, -1, or 0 when not on the board
    PieceKindRecord *kindRecord;
    int32_t code;
    int32_t kind;
    int32_t rank;
    char letter;
    int32_t attackMask;
    int32_t value;
    int32_t endgameValue;
    const int32_t *steps;
    const int32_t *stepsEnd;
    int16_t *squareTable;
    const HashKey *keyTable;
    int32_t effectiveValue;
    Position *position;
};

// Per-file pawn counts carry two guard files on each side that stay 0,
// so neighbour tests of files 0 and 7 read zeros: index file + 2.
constexpr int PAWN_FILE_GUARD = 2;

struct SideRecord {
    PieceRecord head;  // next: first man, prev: last man; the list ends at emptyRecord
    SideRecord *opponent;
    Move replyMoves[128];          // two per square: [square] and [square + 8]
    int32_t pawnsOnFile[12];       // [file + PAWN_FILE_GUARD], files -2..9
    int16_t pawnSquareTable[128];  // pawn terms: [square] and [square + 8]
    SideEvalWords eval;
    int32_t clearMask;      // ~0x1000 white, ~0x2000 black
    int32_t cannotWinFlag;  // 0x20 white, 0x40 black; 0 when setupFlag is off
};

inline int32_t &PawnsOnFile(SideRecord *side, int file) {
    return side->pawnsOnFile[file + PAWN_FILE_GUARD];
}
inline int32_t PawnsOnFile(const SideRecord *side, int file) {
    return side->pawnsOnFile[file + PAWN_FILE_GUARD];
}

// Board slots span the 0x88 indices -128..255 so that knight and king
// steps, pawn look-aheads and raw under-promotion bytes need no bounds test.
constexpr int BOARD_OFFSET = 128;
constexpr int BOARD_SLOTS = 384;

// Men in record order: 16 black, a separator, 16 white.
constexpr int N_MEN_RECORDS = 33;
constexpr int SEPARATOR_RECORD = 16;

// One per searching thread.
struct Position {
    PieceRecord emptyRecord;  // every empty square and list end points here
    PieceRecord men[N_MEN_RECORDS];
    PieceRecord offBoardRecord;       // every slot that is not a square
    PieceRecord *board[BOARD_SLOTS];  // index 0x88 square + BOARD_OFFSET
    SideRecord *sideByColour[3];      // [colour + 1]: black, NULL, white
    PieceRecord *kingByColour[3];
    int32_t pieceMaterial;  // value of knights, bishops, rooks, queens on the board
    int32_t menCount;       // all men on the board
    SideRecord whiteSide;
    SideRecord blackSide;
    SideRecord *sideTable[3];  // same content as sideByColour
    PieceKindRecord kinds[N_PIECE_CODES];
    int64_t nodes;         // moves made on this Position
    int64_t nRepetitions;  // repeated positions answered by the table this search
    int32_t noProgressPull;
    PositionSearchWords search;
    int32_t generation;
    int32_t threadId;
    Position *owner;
    std::atomic<SearchNode *> splitPoint;  // written by the owner while its helper searches
    // The thread's node records, one per ply, reused from search to search;
    // not copied into a helper, which has its own. Null where none is kept.
    SearchNode *plyNodes;
    int16_t emptySquareMap[128];  // the empty kind's squareTable; stays 0
    EvalWorkArea evalArea;
};

inline PieceRecord *&BoardAt(Position *position, int index) {
    return position->board[index + BOARD_OFFSET];
}
inline PieceRecord *BoardAt(const Position *position, int index) {
    return position->board[index + BOARD_OFFSET];
}

constexpr int N_CANDIDATES = 30;
// Node records a thread keeps; deeper nodes use records of their own.
constexpr int N_PLY_NODES = 128;

// One per ply. The fields from castleFlags to the end are the node state
// that a game move copies into the root.
struct SearchNode {
    Move candidates[N_CANDIDATES];  // pending moves; empty when moveCursor == candidates
    int32_t castleFlags;
    int32_t nodeFlags;
    int32_t score;  // running score, side to move's view
    int32_t savedSquareValue;
    int32_t futilityGap;
    int32_t matedScore;
    PieceRecord *capturedPiece;  // emptyRecord when none
    PieceRecord *currentPiece;   // generator's place in the side list
    PieceRecord *attackedPiece;  // with NODE_ATTACKED
    HashKey key;
    int32_t epSquare;  // 12 when none
    int32_t side;
    int32_t opponent;
    int32_t reversals;
    int32_t halfMoves;   // plies since the last capture or pawn move
    Move attackSquares;  // low byte attacker, high byte attacked man
    Move threatMove;
    Move lastMove;
    int32_t searchInfo;
    int32_t movesSeen;
    Move pv[2];
    SearchNode *parent;
    SideRecord *sideRecord;
    Move *moveCursor;
    Position *position;
    int32_t savedBeta;
    int32_t referenceScore;
    int32_t hashMoveTaken;
    uint16_t hashFlags;
    int32_t threatScore;
    Move bestMove;
    int8_t auxSquare1;
    int8_t auxSquare2;
    int32_t ply;  // distance from the root; a copy keeps its source's
};

// Plain push onto the candidate stack; a push onto a full stack is dropped
// (returns NULL) so the stack never overflows.
inline Move *PushMove(SearchNode *node, Move move) {
    if (node->moveCursor >= node->candidates + N_CANDIDATES)
        return nullptr;
    Move *slot = node->moveCursor++;
    *slot = move;
    return slot;
}

// Empties the candidate stack and restarts the generator walk.
inline void ResetMoveList(SearchNode *node) {
    node->moveCursor = node->candidates;
    node->currentPiece = &node->sideRecord->head;
}

// The masked bits of nodeFlags.
inline int NodeFlagBits(const SearchNode *node, int mask) {
    return node->nodeFlags & mask;
}

inline bool PieceIsMan(const PieceRecord *piece) {
    return piece->colour != 0;
}
