// The probe: material finds the table, the index function numbers the
// position and the block cache reads its entry. Anything that cannot be
// numbered or read is "not found"; the score is written only on a hit.
#include "tablebases/tablebase_probe.h"

#include "tablebases/block_cache.h"
#include "tablebases/material_registry.h"
#include "tablebases/tablebase_files.h"

std::atomic<int32_t> tbHits{0};
std::atomic<bool> tablebaseProbing{true};

void SetTablebaseProbing(bool on) {
    tablebaseProbing.store(on, std::memory_order_relaxed);
}

const int32_t pieceCodeToCount[13] = {-1, 9, 8, 7, 6, 5, -1, 0, 1, 2, 3, 4, -1};

constexpr int PIECE_CODES = 13;
constexpr int WHITE_KING_CODE = 12;
constexpr int BLACK_KING_CODE = 0;
constexpr int KPPKP_ID = 36;

// kppkp with black to move: positions whose loss lies beyond what a byte
// holds.
static const int64_t longLossPositions[7] = {56802428, 56811076, 56849992, 56858640,
                                             59592489, 67775659, 71071628};
constexpr int LONG_LOSS_VALUE = -32639;

int WidenByteEntry(int byte) {
    if (byte == 0)
        return 0;
    if (byte == -127)
        return -32640;
    if (byte == -128)
        return 32640;
    return byte > 0 ? byte + 32640 : byte - 32640;
}

int ScoreOfStoredValue(int value) {
    if (value == 0)
        return 0;
    return value > 0 ? 32767 - value : -value - 32768;
}

int ReadTablebaseValue(int id, int side, int64_t position) {
    if (id <= 0 || id >= TABLEBASE_COUNT || side < 0 || side > 1)
        return TB_UNKNOWN;
    side = FileSide(id, side);
    if (cacheBlockCount == 0 || tablebaseFiles[id].cacheChains[side] == nullptr)
        return TB_UNKNOWN;
    // Numbers past the table belong to no position the file holds.
    int64_t count = tablebases[id].positionCount[side];
    if (position < 0 || position >= count)
        return TB_UNKNOWN;
    if (tablebases[id].flags & TB_WORD_ENTRIES) {
        int64_t block = position >> 12;
        int offset = static_cast<int>(position & 0xFFF) * 2;
        int low = ReadBlockByte(id, side, block, offset);
        if (low == TB_UNKNOWN)
            return TB_UNKNOWN;
        int high = ReadBlockByte(id, side, block, offset + 1);
        if (high == TB_UNKNOWN)
            return TB_UNKNOWN;
        return high * 256 + (low & 0xFF);
    }
    if (id == KPPKP_ID && side == 1) {
        for (int64_t longLoss : longLossPositions) {
            if (position == longLoss)
                return LONG_LOSS_VALUE;
        }
    }
    int byte = ReadBlockByte(id, side, position >> 13, static_cast<int>(position & 0x1FFF));
    return byte == TB_UNKNOWN ? TB_UNKNOWN : WidenByteEntry(byte);
}

// Material counts, then the men of each side in scan order.
// King slots start off the board so that a missing king is refused.
static void ReadProbeBoard(const int8_t *board, int32_t *counts, PieceSquares *men) {
    for (int i = 0; i < MATERIAL_COUNTS; i++)
        counts[i] = 0;
    for (int colour = 0; colour < 2; colour++) {
        for (int slot = 0; slot < 16; slot++)
            men[colour].squares[slot] = TB_NO_SQUARE;
    }
    int32_t placed[MATERIAL_COUNTS] = {};
    for (int square = 0; square < 64; square++) {
        int code = board[square];
        if (code < 0 || code >= PIECE_CODES)
            continue;
        if (code == WHITE_KING_CODE || code == BLACK_KING_CODE) {
            men[code == WHITE_KING_CODE ? 0 : 1].squares[SLOT_KING] = square;
            continue;
        }
        int d = pieceCodeToCount[code];
        if (d < 0)
            continue;
        counts[d]++;
        // Past three of a kind no table exists; the count alone refuses it.
        if (placed[d] < 3)
            men[d / 5].squares[3 * (d % 5) + placed[d]++] = square;
    }
}

static int LookUpLocked(const int8_t *board, int sideToMove, int epSquare, int *score) {
    int32_t counts[MATERIAL_COUNTS];
    PieceSquares men[2];
    ReadProbeBoard(board, counts, men);
    int32_t id = FindTablebaseByMaterial(counts);
    if (id == 0)
        return 0;
    int swapped = id < 0;
    if (swapped)
        id = -id;
    // With colours swapped black's men play the table's white role.
    int side = swapped ^ (sideToMove < 1);
    if (!IsTablebaseRegistered(id, side))
        return 0;
    int32_t ep = epSquare > 0 && epSquare < 64 ? epSquare : TB_NO_SQUARE;
    int64_t position =
        tablebases[id].indexFunction[side](&men[swapped], &men[1 - swapped], ep, swapped);
    if (position == TB_INDEX_INVALID)
        return 0;
    int value = ReadTablebaseValue(id, side, position);
    if (value == TB_UNKNOWN)
        return 0;
    *score = ScoreOfStoredValue(value);
    tbHits.fetch_add(1, std::memory_order_relaxed);
    return 1;
}

int LookUpTablebaseScore(const int8_t *board, int side, int epSquare, int *score) {
    if (board == nullptr || score == nullptr || !tablebaseProbing.load(std::memory_order_relaxed))
        return 0;
    EnterCriticalSection(&tablebaseLock);
    int found = LookUpLocked(board, side, epSquare, score);
    LeaveCriticalSection(&tablebaseLock);
    return found;
}
