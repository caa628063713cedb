// The material registry: ten piece counts (white p n b r q, then black
// p n b r q) lead to the signed id of the table that holds them.
#pragma once

#include <cstdint>

#include "tablebases/endgame_descriptors.h"

constexpr int MATERIAL_COUNTS = 10;
constexpr int MATERIAL_BUDGET = 4;  // men besides the two kings

struct MaterialNode;

// Inner levels hold children for counts 0..maxCount; the last level holds
// leaves whose low 32 bits are a signed descriptor id.
union MaterialEntry {
    MaterialNode *child;
    int64_t leaf;
};

struct MaterialNode {
    int32_t maxCount;
    MaterialEntry *entries;  // maxCount + 1 of them
};

extern MaterialNode *materialRoots[MATERIAL_BUDGET + 1];  // by white pawn count
extern int32_t materialMaxCount;

// Builds the empty tree once per process.
void BuildMaterialRegistry();
MaterialNode *NewMaterialNode(int budget, int levelsBelow);

// Stores +id under the table's counts and, unless symmetric, -id under the
// colour-swapped counts. 0 when the counts do not fit the tree.
[[nodiscard]] int RegisterMaterial(const TablebaseDescriptor *descriptor);
[[nodiscard]] int SetMaterialEntry(int32_t id, const int32_t *counts);

// +id: the table's white side matches white's men; -id: colours swapped;
// 0: no table.
int32_t FindTablebaseByMaterial(const int32_t *counts);

// Counts one side's men (p n b r q) up to the next 'k'; returns where it
// stopped.
const char *CountPieces(const char *text, int32_t *counts);
void ParseTablebaseName(const char *name, int32_t *whiteCounts, int32_t *blackCounts);
