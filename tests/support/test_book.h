// Book files for the program's tests, keyed with the core's hash keys.
// Header only, beside test_board.h, for the tests that link the core.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/test_board.h"
#include "tests/support/uci_process.h"

struct TestBookMove {
    std::string moves;  // played from the start position
    Move move;
    uint8_t weight;
};

// Writes one record per entry, sorted by key as the book must be;
// entries of one position keep their order.
inline bool WriteTestBook(const std::string &path, const std::vector<TestBookMove> &entries) {
    std::vector<std::vector<uint8_t>> records;
    auto board = std::make_unique<TestBoard>();
    for (const TestBookMove &entry : entries) {
        if (!TestSetUp(board.get(), START_FEN, entry.moves))
            return false;
        HashKey key = TestNode(board.get())->key;
        records.push_back({uint8_t(key.lock32), uint8_t(key.lock32 >> 8), uint8_t(key.lock32 >> 16),
                           uint8_t(key.lock32 >> 24), uint8_t(key.lock16), uint8_t(key.lock16 >> 8),
                           0, 0, uint8_t(entry.move), uint8_t(entry.move >> 8), entry.weight, 0});
    }
    std::stable_sort(records.begin(), records.end(),
                     [](const std::vector<uint8_t> &a, const std::vector<uint8_t> &b) {
                         return memcmp(a.data(), b.data(), 6) < 0;
                     });
    FILE *file = fopen(path.c_str(), "wb");
    if (!file)
        return false;
    for (const std::vector<uint8_t> &record : records)
        fwrite(record.data(), 1, record.size(), file);
    return fclose(file) == 0;
}
