// Test-side writer of tablebase files: plain tables and compressed tables
// with their own block encoder, plus the probe-board helpers the tests
// share. The encoder lives here only; the program reads, never writes.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tablebases/index_functions.h"

struct CompressedTableOptions {
    std::array<int32_t, 24> distances;
    bool storeEveryBlock = false;
    bool allZeroLengths = false;        // length section of one bit 1; data must be all zero
    bool oversubscribedCode = false;    // one more symbol than the code has room for
    bool copyBeforeBlockStart = false;  // block 0 opens with a copy of distance 1
    CompressedTableOptions();
};

// nBytes of content cut into 8192-byte blocks; block b holds
// distinct[blockKind(b)] (the last block its prefix).
struct TableContent {
    int64_t nBytes;
    std::vector<std::vector<uint8_t>> distinct;
    std::function<int(int64_t)> blockKind;
};

TableContent ContentOfBytes(const std::vector<uint8_t> &bytes);
// blockOffsets, when given, gets the file offset of each block and of the
// end as the encoder laid them out.
std::vector<uint8_t> EncodeCompressedTable(const TableContent &content,
                                           const CompressedTableOptions &options,
                                           std::vector<int64_t> *blockOffsets = nullptr);
std::vector<uint8_t> EncodeCompressedTable(const std::vector<uint8_t> &bytes,
                                           const CompressedTableOptions &options = {});

// n table bytes that look arbitrary: byte i is a hash of i and seed.
std::vector<uint8_t> HashedTable(int64_t n, uint32_t seed);
uint8_t HashedByte(int64_t i, uint32_t seed);

std::string MakeTempDirectory();
void WriteFileBytes(const std::string &path, const std::vector<uint8_t> &bytes);
void RemoveDirectoryTree(const std::string &path);

// Probe boards: 64 piece codes, 6 empty.
struct ProbeBoard {
    int8_t squares[64];
};
// Pieces as "Ke1 Ra1 ke8" style: upper case white, lower case black.
ProbeBoard BoardOf(const char *pieces);
// White's and black's PieceSquares of a board, filled in scan order.
void SplitBoard(const ProbeBoard &board, PieceSquares *white, PieceSquares *black);

// Score form of a byte entry, or no value (false) for the byte 127.
bool ScoreOfByte(int8_t byte, int *score);
