// The material registry: every table is found from its own material and
// from the colour-swapped material, everything else finds nothing.
#include "tablebases/material_registry.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

struct Counts {
    int32_t c[MATERIAL_COUNTS];
};

Counts CountsOf(const char *name, bool swapped) {
    Counts counts;
    ParseTablebaseName(name, counts.c + (swapped ? 5 : 0), counts.c + (swapped ? 0 : 5));
    return counts;
}

class MaterialRegistry : public testing::Test {
   protected:
    static void SetUpTestSuite() { BuildMaterialRegistry(); }
};

TEST(MaterialNames, CountPiecesStopsAtTheNextKing) {
    int32_t counts[5];
    const char *stop = CountPieces("qqrpkbn", counts);
    EXPECT_EQ(*stop, 'k');
    EXPECT_EQ(counts[0], 1);
    EXPECT_EQ(counts[1], 0);
    EXPECT_EQ(counts[3], 1);
    EXPECT_EQ(counts[4], 2);
    int32_t white[5], black[5];
    ParseTablebaseName("kbnkp", white, black);
    EXPECT_EQ(white[1] + white[2], 2);
    EXPECT_EQ(black[0], 1);
    ParseTablebaseName("kk", white, black);
    for (int type = 0; type < 5; type++)
        EXPECT_EQ(white[type] + black[type], 0);
}

TEST_F(MaterialRegistry, RegisteredTablesAreFoundBothWays) {
    for (int id = 1; id < TABLEBASE_COUNT; id++)
        ASSERT_EQ(RegisterMaterial(&tablebases[id]), 1) << tablebases[id].name;
    for (int id = 1; id < TABLEBASE_COUNT; id++) {
        const TablebaseDescriptor &d = tablebases[id];
        bool symmetric = d.flags & TB_SYMMETRIC;
        Counts own = CountsOf(d.name, false), swapped = CountsOf(d.name, true);
        bool sameMaterial = std::equal(own.c, own.c + MATERIAL_COUNTS, swapped.c);
        // Equal material without the flag (kpkp and the like) is stored
        // swapped last, and the probe turns the board for it.
        EXPECT_EQ(FindTablebaseByMaterial(own.c), sameMaterial && !symmetric ? -id : id) << d.name;
        EXPECT_EQ(FindTablebaseByMaterial(swapped.c), symmetric ? id : -id) << d.name;
    }
    // Registering again stores the same ids.
    ASSERT_EQ(RegisterMaterial(&tablebases[1]), 1);
    EXPECT_EQ(FindTablebaseByMaterial(CountsOf("kpk", false).c), 1);
    EXPECT_EQ(FindTablebaseByMaterial(CountsOf("kpk", true).c), -1);
    Counts kpk = {{1, 0, 0, 0, 0, 0, 0, 0, 0, 0}}, kkp = {{0, 0, 0, 0, 0, 1, 0, 0, 0, 0}};
    EXPECT_EQ(FindTablebaseByMaterial(kpk.c), 1);
    EXPECT_EQ(FindTablebaseByMaterial(kkp.c), -1);
}

TEST_F(MaterialRegistry, SymmetricTableStoresOnlyItsOwnId) {
    int32_t id = 8;
    ASSERT_STREQ(tablebases[id].name, "knkn");
    ASSERT_EQ(RegisterMaterial(&tablebases[id]), 1);
    EXPECT_EQ(FindTablebaseByMaterial(CountsOf("knkn", false).c), 8);
}

TEST_F(MaterialRegistry, MaterialOutsideTheTreeFindsNothing) {
    Counts bareKings = {{0}};
    Counts fivePawns = {{3, 0, 0, 0, 0, 2, 0, 0, 0, 0}};
    Counts fiveQueens = {{0, 0, 0, 0, 5, 0, 0, 0, 0, 0}};
    Counts negative = {{1, -1, 0, 0, 0, 0, 0, 0, 0, 0}};
    Counts huge = {{0, 0, 0, 0, 0, 0, 0, 0, 0, 1000}};
    EXPECT_EQ(FindTablebaseByMaterial(bareKings.c), 0);
    EXPECT_EQ(FindTablebaseByMaterial(fivePawns.c), 0);
    EXPECT_EQ(FindTablebaseByMaterial(fiveQueens.c), 0);
    EXPECT_EQ(FindTablebaseByMaterial(negative.c), 0);
    EXPECT_EQ(FindTablebaseByMaterial(huge.c), 0);
    EXPECT_EQ(SetMaterialEntry(99, fivePawns.c), 0);
    EXPECT_EQ(SetMaterialEntry(99, negative.c), 0);
}

// Each node's budget is what its ancestors left, so every material of at
// most four men has exactly one leaf.
int CountLeaves(const MaterialNode *node, int levelsBelow) {
    if (levelsBelow == 0)
        return node->maxCount + 1;
    int n = 0;
    for (int count = 0; count <= node->maxCount; count++) {
        EXPECT_EQ(node->entries[count].child->maxCount, node->maxCount - count);
        n += CountLeaves(node->entries[count].child, levelsBelow - 1);
    }
    return n;
}

TEST_F(MaterialRegistry, TreeHasOneLeafPerMaterial) {
    EXPECT_EQ(materialMaxCount, 4);
    int nLeaves = 0;
    for (int pawns = 0; pawns <= 4; pawns++) {
        EXPECT_EQ(materialRoots[pawns]->maxCount, 4 - pawns);
        nLeaves += CountLeaves(materialRoots[pawns], MATERIAL_COUNTS - 2);
    }
    EXPECT_EQ(nLeaves, 1001);  // C(14, 4): at most four men over ten counts
}

}  // namespace
