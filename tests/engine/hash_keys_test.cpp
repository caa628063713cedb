// Hash keys: pinned first values of the generator, and set-up keys against
// keys built here straight from the generator's formula.
#include "engine/hash_keys.h"

#include <gtest/gtest.h>

#include "board_fixture.h"

namespace {

// The runtime generator, written out: state * 214013 + 2531011.
struct Lcg {
    uint32_t state = 0;
    int Next() {
        state = state * 214013u + 2531011u;
        return int((state >> 16) & 0x7FFF);
    }
};

// keys[code][square] drawn in the documented order.
void DrawKeys(HashKey keys[13][128]) {
    Lcg lcg;
    for (int code = 0; code < 13; code++) {
        for (int square = 0; square < 120; square++) {
            if (square & 8)
                continue;
            uint32_t r1 = uint32_t(lcg.Next()), r2 = uint32_t(lcg.Next()),
                     r3 = uint32_t(lcg.Next());
            keys[code][square] = {((r1 & 0x7FFF) << 16) + r2, uint16_t(r3)};
        }
    }
}

int CodeOfLetter(char letter) {
    const char *letters = "kqrbnpEPNBRQK";
    for (int code = 0; code < 13; code++) {
        if (letters[code] == letter)
            return code;
    }
    return -1;
}

HashKey KeyFromBoardText(const char *text, bool blackToMove, HashKey keys[13][128]) {
    HashKey key = {0, 0};
    int rank = 7, file = 0;
    for (const char *p = text; *p && *p != ' '; p++) {
        if (*p == '/') {
            rank--;
            file = 0;
        } else if (*p >= '1' && *p <= '8') {
            file += *p - '0';
        } else {
            XorKey(&key, &keys[CodeOfLetter(*p)][rank * 16 + file]);
            file++;
        }
    }
    if (blackToMove)
        key.lock32 ^= 0x80000000u;
    return key;
}

TEST(HashKeys, FirstBlackKingKeyIsPinned) {
    InitHashKeys();
    const HashKey *blackKing = KeyTableOfCode(BLACK_KING);
    EXPECT_EQ(blackKing[0].lock32, 2498087u);
    EXPECT_EQ(blackKing[0].lock16, 21238u);
}

TEST(HashKeys, EveryCodeMatchesTheGeneratorAndKeepsItsZeroBits) {
    static HashKey keys[13][128];
    DrawKeys(keys);
    InitHashKeys();
    for (int code = 0; code < 13; code++) {
        const HashKey *table = KeyTableOfCode(code);
        for (int square = 0; square < 120; square++) {
            if (square & 8)
                continue;
            EXPECT_EQ(table[square].lock32, keys[code][square].lock32) << code << " " << square;
            EXPECT_EQ(table[square].lock16, keys[code][square].lock16);
            EXPECT_EQ(table[square].lock32 & 0x80008000u, 0u);
            EXPECT_EQ(table[square].lock16 & 0x8000u, 0u);
        }
    }
    // The white kinds share the black kinds' blocks, eight slots on.
    EXPECT_EQ(KeyTableOfCode(WHITE_PAWN), &keyStorage[0][8]);
    EXPECT_EQ(KeyTableOfCode(WHITE_KING), &keyStorage[5][8]);
    EXPECT_EQ(KeyTableOfCode(EMPTY_CODE), keyStorage[6]);
}

TEST(HashKeys, SetUpKeyMatchesIndependentKey) {
    static HashKey keys[13][128];
    DrawKeys(keys);
    const char *fens[] = {
        "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",
        "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R b KQkq - 0 1",
        "4k3/8/8/8/8/8/QQQ5/4K3 w - -",
    };
    static TestBoard board;
    for (const char *fen : fens) {
        ASSERT_TRUE(SetUpBoard(&board, fen)) << fen;
        HashKey expected = KeyFromBoardText(fen, strstr(fen, " b ") != nullptr, keys);
        EXPECT_EQ(board.root.key.lock32, expected.lock32) << fen;
        EXPECT_EQ(board.root.key.lock16, expected.lock16) << fen;
        HashKey scratch = ComputeNodeKey(&board.root);
        EXPECT_EQ(scratch.lock32, expected.lock32);
    }
}

}  // namespace
