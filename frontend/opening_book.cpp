// Opening book. Records are read one at a time with a seek; keys compare
// as little-endian byte strings. A pick gathers every record of the
// position, drops the light ones by the selectivity and draws among the
// rest in proportion to their weights, with sums in 32 bits.
#include "frontend/opening_book.h"

#include <climits>
#include <cstring>
#include <ctime>

#include "frontend/game_record.h"

Book book = {nullptr, 0, 0};

struct BookChoice {
    Move move;
    int32_t weight;
};

bool OpenBook(Book *book, const char *fileName) {
    if (book->file)
        fclose(book->file);
    book->file = fopen(fileName, "rb");
    book->entryCount = 0;
    if (!book->file)
        return false;
    int64_t size = -1;
    if (fseek(book->file, 0, SEEK_END) == 0)
        size = ftell(book->file);
    int64_t count = size > 0 ? size / BOOK_RECORD_BYTES : 0;
    // Every record's offset must fit the seek's long.
    int64_t maxCount = int64_t(LONG_MAX < INT32_MAX ? LONG_MAX : INT32_MAX) / BOOK_RECORD_BYTES;
    book->entryCount = int32_t(count > maxCount ? maxCount : count);
    book->seed = uint32_t(time(nullptr));
    return true;
}

int CompareBookKey(const uint8_t *key, const uint8_t *entry) {
    return memcmp(key, entry, BOOK_KEY_BYTES);
}

// Record n (1..entryCount) into out; false when it cannot be read.
static bool ReadBookRecord(Book *book, int32_t n, uint8_t *out) {
    if (n < 1 || n > book->entryCount)
        return false;
    if (fseek(book->file, long(n - 1) * BOOK_RECORD_BYTES, SEEK_SET) != 0)
        return false;
    return fread(out, 1, BOOK_RECORD_BYTES, book->file) == BOOK_RECORD_BYTES;
}

static BookChoice ChoiceOf(const uint8_t *record) {
    Move move = Move(record[8] | (record[9] << 8));
    int16_t weight = int16_t(uint16_t(record[10] | (record[11] << 8)));
    return {move, weight};
}

// Binary search over records 1..entryCount; the hit's number or 0.
static int32_t FindBookKey(Book *book, const uint8_t *key) {
    int32_t lo = 0, hi = book->entryCount;
    uint8_t record[BOOK_RECORD_BYTES];
    while (lo <= hi) {
        int32_t mid = int32_t((int64_t(lo) + hi) / 2);
        int comparison = 1;  // record 0 does not exist: count it as above
        if (mid > 0) {
            if (!ReadBookRecord(book, mid, record))
                return 0;
            comparison = CompareBookKey(key, record);
        }
        if (comparison < 0)
            hi = mid - 1;
        else if (comparison > 0)
            lo = mid + 1;
        else
            return mid;
    }
    return 0;
}

// The hit, then its equal neighbours below, then above.
static int GatherBookChoices(Book *book, const uint8_t *key, int32_t hit, BookChoice *choices) {
    uint8_t record[BOOK_RECORD_BYTES];
    int nChoices = 0;
    if (!ReadBookRecord(book, hit, record))
        return 0;
    choices[nChoices++] = ChoiceOf(record);
    for (int32_t n = hit - 1; n >= 1 && nChoices < MAX_BOOK_CHOICES; n--) {
        if (!ReadBookRecord(book, n, record) || CompareBookKey(key, record) != 0)
            break;
        choices[nChoices++] = ChoiceOf(record);
    }
    for (int32_t n = hit + 1; n <= book->entryCount && nChoices < MAX_BOOK_CHOICES; n++) {
        if (!ReadBookRecord(book, n, record) || CompareBookKey(key, record) != 0)
            break;
        choices[nChoices++] = ChoiceOf(record);
    }
    return nChoices;
}

// The weighted draw among the choices that survive the selectivity.
static Move PickBookChoice(Book *book, BookChoice *choices, int nChoices, int selectivity10) {
    int64_t total = 0, heaviest = choices[0].weight;
    for (int i = 0; i < nChoices; i++) {
        total += choices[i].weight;
        if (choices[i].weight > heaviest)
            heaviest = choices[i].weight;
    }
    if (total <= 0)
        return MOVE_NONE;
    int64_t threshold = total * selectivity10 / 100;
    if (heaviest < threshold)
        threshold = heaviest;
    int64_t remaining = total;
    for (int i = 0; i < nChoices; i++) {
        if (choices[i].weight < threshold) {
            remaining -= choices[i].weight;
            choices[i].weight = 0;
        }
    }
    book->seed = book->seed * 214013u + 2531011u;
    int64_t r = (int64_t((book->seed >> 16) & 0x7FFF) * remaining) >> 15;
    int64_t running = 0;
    for (int i = 0; i < nChoices; i++) {
        running += choices[i].weight;
        if (running > r)
            return choices[i].move;
    }
    return MOVE_NONE;
}

Move ProbeBook(Book *book, uint32_t lock32, uint16_t lock16, int selectivity10) {
    if (!book->file)
        return MOVE_NONE;
    uint8_t key[BOOK_KEY_BYTES] = {
        uint8_t(lock32),       uint8_t(lock32 >> 8), uint8_t(lock32 >> 16),
        uint8_t(lock32 >> 24), uint8_t(lock16),      uint8_t(lock16 >> 8),
    };
    int32_t hit = FindBookKey(book, key);
    if (hit == 0)
        return MOVE_NONE;
    BookChoice choices[MAX_BOOK_CHOICES];
    int nChoices = GatherBookChoices(book, key, hit, choices);
    if (nChoices == 0)
        return MOVE_NONE;
    return PickBookChoice(book, choices, nChoices, selectivity10);
}

Move ProbeGameBook(int selectivity10) {
    uint32_t lock32;
    uint16_t lock16;
    GameKey(&lock32, &lock16);
    Move move = ProbeBook(&book, lock32, lock16, selectivity10);
    // The key has no castling or en-passant part and keys can collide.
    if (move == MOVE_NONE || !GameMoveIsLegal(move))
        return MOVE_NONE;
    return move;
}
