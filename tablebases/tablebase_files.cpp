// Per-run file data of the endgames, indexed like the descriptors. Every
// pointer is null until registration fills it; registration frees them all
// before it starts again.
#include "tablebases/tablebase_files.h"

TablebaseFiles tablebaseFiles[TABLEBASE_COUNT];
CriticalSection tablebaseLock;

int ExtentCount(int id, int side) {
    const TablebaseDescriptor *descriptor = &tablebases[id];
    if (!(descriptor->flags & TB_SPLIT))
        return 1;
    int shift = (descriptor->flags & TB_WORD_ENTRIES) ? 30 : 31;
    int64_t count = (descriptor->positionCount[side] >> shift) + 1;
    return count > MAX_EXTENTS ? MAX_EXTENTS : static_cast<int>(count);
}

int FileSide(int id, int side) {
    return (tablebases[id].flags & TB_SYMMETRIC) ? 0 : side;
}

int IsTablebaseRegistered(int id, int side) {
    if (id <= 0 || id >= TABLEBASE_COUNT || side < 0 || side > 1)
        return 0;
    side = FileSide(id, side);
    int nExtents = ExtentCount(id, side);
    for (int extent = 0; extent < nExtents; extent++) {
        if (tablebaseFiles[id].fileName[side][extent] != nullptr)
            return 1;
    }
    return 0;
}
