// The opening book: 12-byte records sorted by a 6-byte position key,
// each offering one move with a signed 16-bit weight.
#pragma once

#include <cstdint>
#include <cstdio>

#include "engine/engine_api.h"

constexpr int BOOK_RECORD_BYTES = 12;
constexpr int BOOK_KEY_BYTES = 6;
constexpr int MAX_BOOK_CHOICES = 100;  // records of one position that take part

struct Book {
    FILE *file;  // null: no book
    int32_t entryCount;
    uint32_t seed;  // the pick's generator state
};

extern Book book;

// Closes an open file and opens fileName; false (file null) on failure,
// with errno telling why.
[[nodiscard]] bool OpenBook(Book *book, const char *fileName);
// A book move for the position with this key, or MOVE_NONE. lock32 and
// lock16 are the key parts; selectivity10 is Book_selectivity x 10.
Move ProbeBook(Book *book, uint32_t lock32, uint16_t lock16, int selectivity10);
// Byte-wise comparison of a probe key with a record's key bytes.
int CompareBookKey(const uint8_t *key, const uint8_t *entry);
// ProbeBook for the game position; only a legal move is returned.
Move ProbeGameBook(int selectivity10);
