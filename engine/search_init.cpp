// Search set-up of the module's init: the keys, a fresh table and the
// main Position's thread identity. The game position itself is kept.
#include "engine/search_init.h"

#include "engine/game.h"
#include "engine/hash_keys.h"
#include "engine/split_node.h"
#include "engine/transposition_table.h"

// The main thread's node records, one per ply.
static SearchNode mainPlyNodes[N_PLY_NODES];

int64_t InitSearch(int64_t bytes) {
    InitHashKeys();
    if (bytes == 0 && hashAllocationMode == HASH_ALLOCATION_EXITS)
        bytes = DEFAULT_HASH_BYTES;
    ReleaseHashTable(&hashTable);
    int64_t result = AllocateHashTable(&hashTable, bytes);
    mainPosition.threadId = 1;
    mainPosition.generation = splitGeneration;
    mainPosition.owner = nullptr;
    mainPosition.splitPoint = &rootNode;
    mainPosition.nodes = 0;
    mainPosition.plyNodes = mainPlyNodes;
    rootNode.position = &mainPosition;
    return result;
}
