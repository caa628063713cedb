// Search set-up of the module's init: the keys, a fresh table and the
// main Position's thread identity. The game position itself is kept.
#include "engine/search_init.h"

#include "engine/game.h"
#include "engine/hash_keys.h"
#include "engine/split_node.h"
#include "engine/transposition_table.h"

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
    rootNode.position = &mainPosition;
    return result;
}
