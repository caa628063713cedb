// The descriptor table: 441 records whose names, flags and counts decide
// which files exist and how long they are. Pinned by a checksum of every
// field and by the properties the rest of the code relies on.
#include "tablebases/endgame_descriptors.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "tablebases/material_registry.h"

namespace {

int MenBesideKings(const TablebaseDescriptor &d) {
    return static_cast<int>(strlen(d.name)) - 2;
}

TEST(EndgameDescriptors, EveryFieldIsPinned) {
    uint64_t checksum = 0;
    for (const TablebaseDescriptor &d : tablebases) {
        for (int64_t value :
             {int64_t{d.id}, int64_t{d.flags}, d.positionCount[0], d.positionCount[1]})
            checksum = checksum * 1000003 + static_cast<uint64_t>(value);
        for (const char *c = d.name; *c; c++)
            checksum = checksum * 131 + static_cast<uint8_t>(*c);
    }
    EXPECT_EQ(checksum, 14406520802275823096u);
    EXPECT_STREQ(tablebases[35].name, "kqqk");
    EXPECT_EQ(tablebases[440].positionCount[1], 8514011520);
}

TEST(EndgameDescriptors, IdsFlagsAndMenCountsAgree) {
    int nByFlags[8] = {0};
    std::set<std::string> names;
    for (int id = 0; id < TABLEBASE_COUNT; id++) {
        const TablebaseDescriptor &d = tablebases[id];
        EXPECT_EQ(d.id, id);
        ASSERT_LT(d.flags, 8);
        nByFlags[d.flags]++;
        names.insert(d.name);
        int men = MenBesideKings(d) + 2;
        int expectedMen = id == 0                   ? 2
                          : id <= LAST_THREE_MEN_ID ? 3
                          : id <= LAST_FOUR_MEN_ID  ? 4
                          : id <= LAST_FIVE_MEN_ID  ? 5
                                                    : 6;
        EXPECT_EQ(men, expectedMen) << d.name;
        if (d.flags & TB_SPLIT) {
            EXPECT_GE(id, 186);
        }
        if (d.flags & TB_SYMMETRIC) {
            EXPECT_EQ(d.positionCount[0], d.positionCount[1]) << d.name;
        }
        bool hasFunctions = d.indexFunction[0] != nullptr && d.indexFunction[1] != nullptr;
        EXPECT_EQ(hasFunctions, id != 0);
    }
    const int expectedByFlags[8] = {264, 15, 8, 1, 95, 3, 54, 1};
    for (int flags = 0; flags < 8; flags++)
        EXPECT_EQ(nByFlags[flags], expectedByFlags[flags]) << flags;
    EXPECT_EQ(names.size(), 441u);
    EXPECT_STREQ(tablebases[0].name, "kk");
    EXPECT_EQ(tablebases[0].positionCount[0], 0);
}

TEST(EndgameDescriptors, SymmetricRecordsAreTheListedOnes) {
    std::set<int> symmetric;
    for (const TablebaseDescriptor &d : tablebases) {
        if (d.id != 0 && (d.flags & TB_SYMMETRIC))
            symmetric.insert(d.id);
    }
    std::set<int> expected = {8, 11, 15, 20, 146, 150, 160, 201, 203, 209, 222, 245};
    for (int id = 179; id <= 185; id++)
        expected.insert(id);
    EXPECT_EQ(symmetric, expected);
}

// White has at least as many men; each side in the order q r b n p, at
// most three of a kind; and split tables need at most 18 extents.
TEST(EndgameDescriptors, NamesAreWellFormed) {
    for (int id = 1; id < TABLEBASE_COUNT; id++) {
        const TablebaseDescriptor &d = tablebases[id];
        ASSERT_EQ(d.name[0], 'k');
        const char *blackKing = strchr(d.name + 1, 'k');
        ASSERT_NE(blackKing, nullptr) << d.name;
        EXPECT_GE(blackKing - d.name - 1, static_cast<long>(strlen(blackKing + 1))) << d.name;
        for (const char *side : {d.name + 1, blackKing + 1}) {
            const char *order = "qrbnp";
            for (const char *c = side; *c && *c != 'k'; c++) {
                const char *at = strchr(order, *c);
                ASSERT_NE(at, nullptr) << d.name;
                order = at;
            }
        }
        int32_t white[5], black[5];
        ParseTablebaseName(d.name, white, black);
        for (int type = 0; type < 5; type++)
            EXPECT_TRUE(white[type] <= 3 && black[type] <= 3) << d.name;
        for (int side = 0; side < 2; side++) {
            int shift = d.flags & TB_WORD_ENTRIES ? 30 : 31;
            EXPECT_LE((d.positionCount[side] >> shift) + 1, 18) << d.name;
        }
    }
}

}  // namespace
