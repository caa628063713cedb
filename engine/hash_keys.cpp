// Hash keys: for each piece code 0..12 and each on-board square in
// ascending order, three draws of the generator give lock32 and lock16.
// Bits 15 and 31 of lock32 and bit 15 of lock16 are always 0.
#include "engine/hash_keys.h"

#include <cstring>

#include "platform/random.h"

HashKey keyStorage[N_KEY_BLOCKS][128];

static bool hashKeysReady = false;

const HashKey *KeyTableOfCode(int code) {
    DEBUG_CHECK(code >= 0 && code < N_PIECE_CODES);
    if (code <= EMPTY_CODE)
        return keyStorage[code];
    return keyStorage[code - 7] + 8;
}

void InitHashKeys() {
    memset(keyStorage, 0, sizeof keyStorage);
    RandomSeed(0);
    for (int code = 0; code < N_PIECE_CODES; code++) {
        HashKey *table = const_cast<HashKey *>(KeyTableOfCode(code));
        for (int square = 0; square < 120; square++) {
            if (square & 0x08)
                continue;
            uint32_t r1 = uint32_t(RandomNext());
            uint32_t r2 = uint32_t(RandomNext());
            uint32_t r3 = uint32_t(RandomNext());
            table[square].lock32 = ((r1 & 0x7FFF) << 16) + r2;
            table[square].lock16 = uint16_t(r3);
        }
    }
    hashKeysReady = true;
}

void EnsureHashKeys() {
    if (!hashKeysReady)
        InitHashKeys();
}

static void XorSideList(const SideRecord *side, const Position *position, HashKey *key) {
    for (const PieceRecord *man = side->head.next; man != &position->emptyRecord; man = man->next)
        XorKey(key, &man->keyTable[man->square]);
}

HashKey ComputeNodeKey(const SearchNode *node) {
    const Position *position = node->position;
    HashKey key = {0, 0};
    XorSideList(&position->whiteSide, position, &key);
    XorSideList(&position->blackSide, position, &key);
    if (node->side == BLACK)
        key.lock32 ^= KEY_BLACK_TO_MOVE;
    return key;
}
