// The material registry: a ten-level tree over the piece counts that
// shares one budget of four men besides the kings, so every material with
// at most four such men has exactly one leaf. Leaves start at 0 and are
// set when a table registers; nothing clears or frees them.
#include "tablebases/material_registry.h"

#include "tablebases/tb_memory.h"

MaterialNode *materialRoots[MATERIAL_BUDGET + 1];
int32_t materialMaxCount = 0;

static bool materialRegistryBuilt = false;

MaterialNode *NewMaterialNode(int budget, int levelsBelow) {
    size_t bytes = sizeof(MaterialNode) + sizeof(MaterialEntry) * (budget + 1);
    MaterialNode *node = static_cast<MaterialNode *>(AllocateCounted(bytes));
    node->maxCount = budget;
    node->entries = reinterpret_cast<MaterialEntry *>(node + 1);
    for (int count = 0; count <= budget; count++) {
        if (levelsBelow > 0)
            node->entries[count].child = NewMaterialNode(budget - count, levelsBelow - 1);
        else
            node->entries[count].leaf = 0;
    }
    return node;
}

void BuildMaterialRegistry() {
    if (materialRegistryBuilt)
        return;
    materialRegistryBuilt = true;
    materialMaxCount = MATERIAL_BUDGET;
    for (int pawns = 0; pawns <= MATERIAL_BUDGET; pawns++)
        materialRoots[pawns] = NewMaterialNode(MATERIAL_BUDGET - pawns, MATERIAL_COUNTS - 2);
}

// The leaf of the counts, or null when a count is outside its node.
static MaterialEntry *FindMaterialLeaf(const int32_t *counts) {
    if (!materialRegistryBuilt || counts[0] < 0 || counts[0] > materialMaxCount)
        return nullptr;
    MaterialNode *node = materialRoots[counts[0]];
    for (int level = 1; level < MATERIAL_COUNTS; level++) {
        if (counts[level] < 0 || counts[level] > node->maxCount)
            return nullptr;
        MaterialEntry *entry = &node->entries[counts[level]];
        if (level == MATERIAL_COUNTS - 1)
            return entry;
        node = entry->child;
    }
    return nullptr;
}

int SetMaterialEntry(int32_t id, const int32_t *counts) {
    MaterialEntry *leaf = FindMaterialLeaf(counts);
    if (leaf == nullptr)
        return 0;
    leaf->leaf = id;
    return 1;
}

int32_t FindTablebaseByMaterial(const int32_t *counts) {
    const MaterialEntry *leaf = FindMaterialLeaf(counts);
    return leaf != nullptr ? static_cast<int32_t>(leaf->leaf) : 0;
}

const char *CountPieces(const char *text, int32_t *counts) {
    for (int type = 0; type < 5; type++)
        counts[type] = 0;
    for (; *text != '\0' && *text != 'k'; text++) {
        switch (*text) {
            case 'q':
                counts[4]++;
                break;
            case 'r':
                counts[3]++;
                break;
            case 'b':
                counts[2]++;
                break;
            case 'n':
                counts[1]++;
                break;
            default:
                counts[0]++;
                break;
        }
    }
    return text;
}

void ParseTablebaseName(const char *name, int32_t *whiteCounts, int32_t *blackCounts) {
    const char *stop = CountPieces(name + 1, whiteCounts);
    CountPieces(*stop == 'k' ? stop + 1 : stop, blackCounts);
}

int RegisterMaterial(const TablebaseDescriptor *descriptor) {
    int32_t counts[MATERIAL_COUNTS], swapped[MATERIAL_COUNTS];
    ParseTablebaseName(descriptor->name, counts, counts + 5);
    if (!SetMaterialEntry(descriptor->id, counts))
        return 0;
    if (descriptor->flags & TB_SYMMETRIC)
        return 1;
    for (int i = 0; i < 5; i++) {
        swapped[i] = counts[5 + i];
        swapped[5 + i] = counts[i];
    }
    return SetMaterialEntry(-descriptor->id, swapped);
}
