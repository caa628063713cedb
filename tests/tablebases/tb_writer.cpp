// Test-side writer of tablebase files. The block encoder is a greedy
// matcher over the file's 24 distances with one canonical code per file;
// it writes only what the reader must accept or refuse.
#include "tests/tablebases/tb_writer.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <queue>

#include "tablebases/compressed_file.h"

namespace {

constexpr int BLOCK = 8192;
constexpr int LOG2_BLOCK = 13;

struct Token {
    int symbol;
    int nExtraBits;
    uint32_t extra;
};

struct Code {
    uint32_t bits;
    int nBits;
};

struct BitWriter {
    std::vector<uint8_t> bytes;
    int nBitsInLast = 8;
    void Put(uint32_t value, int nBits) {
        for (int i = nBits - 1; i >= 0; i--) {
            if (nBitsInLast == 8) {
                bytes.push_back(0);
                nBitsInLast = 0;
            }
            if ((value >> i) & 1)
                bytes.back() |= static_cast<uint8_t>(0x80 >> nBitsInLast);
            nBitsInLast++;
        }
    }
};

Token CopyToken(int slot, int length) {
    if (length <= 15)
        return {256 + slot * 32 + length - 1, 0, 0};
    int x = 1;
    while ((2 << x) + 14 <= length)
        x++;
    if (x <= 16)
        return {256 + slot * 32 + 14 + x, x, uint32_t(length - (1 << x) - 14)};
    return {256 + slot * 32 + 31, 17, uint32_t(length - (1 << 17) - 14)};
}

std::vector<Token> TokenizeBlock(const uint8_t *data, int size, const std::array<int32_t, 24> &d) {
    std::vector<Token> tokens;
    for (int i = 0; i < size;) {
        int bestLength = 0, bestSlot = 0;
        for (int slot = 0; slot < 24; slot++) {
            if (d[slot] <= 0 || d[slot] > i)
                continue;
            int length = 0;
            while (i + length < size && data[i + length] == data[i + length - d[slot]])
                length++;
            if (length > bestLength) {
                bestLength = length;
                bestSlot = slot;
            }
        }
        if (bestLength >= 3) {
            tokens.push_back(CopyToken(bestSlot, bestLength));
            i += bestLength;
        } else {
            tokens.push_back({data[i], 0, 0});
            i++;
        }
    }
    return tokens;
}

std::vector<int> HuffmanLengths(const std::vector<int64_t> &freq) {
    int n = static_cast<int>(freq.size());
    std::vector<int> lengths(n, 0);
    typedef std::pair<int64_t, int> Node;
    std::priority_queue<Node, std::vector<Node>, std::greater<Node>> queue;
    std::vector<int> parent(2 * n, -1);
    for (int s = 0; s < n; s++) {
        if (freq[s] > 0)
            queue.push({freq[s], s});
    }
    if (queue.size() == 1)
        lengths[queue.top().second] = 1;
    if (queue.size() <= 1)
        return lengths;
    int next = n;
    while (queue.size() > 1) {
        Node a = queue.top();
        queue.pop();
        Node b = queue.top();
        queue.pop();
        parent[a.second] = parent[b.second] = next;
        queue.push({a.first + b.first, next++});
    }
    for (int s = 0; s < n; s++) {
        if (freq[s] == 0)
            continue;
        for (int node = s; parent[node] != -1; node = parent[node])
            lengths[s]++;
        EXPECT_LE(lengths[s], 31);
    }
    return lengths;
}

// Canonical codes; an alphabet of one symbol is written with no bits.
std::vector<Code> CanonicalCodes(const std::vector<int> &lengths) {
    std::vector<Code> codes(lengths.size(), Code{0, 0});
    int nUsed = 0;
    for (int length : lengths)
        nUsed += length != 0;
    if (nUsed <= 1)
        return codes;
    uint32_t code = 0;
    for (int length = 1; length <= 31; length++) {
        for (size_t s = 0; s < lengths.size(); s++) {
            if (lengths[s] == length)
                codes[s] = {code++, length};
        }
        code <<= 1;
    }
    return codes;
}

void WriteToken(BitWriter *writer, const std::vector<Code> &codes, const Token &token) {
    writer->Put(codes[token.symbol].bits, codes[token.symbol].nBits);
    writer->Put(token.extra, token.nExtraBits);
}

// The nested section: width 5, values, a 4-bit zero count after each 0.
void WriteNestedLengths(BitWriter *writer, const std::vector<int> &lengths) {
    writer->Put(0, 1);
    writer->Put(5, 5);
    for (size_t i = 0; i < lengths.size();) {
        writer->Put(lengths[i], 5);
        i++;
        if (lengths[i - 1] != 0)
            continue;
        int zeros = 0;
        while (i < lengths.size() && lengths[i] == 0 && zeros < 15) {
            zeros++;
            i++;
        }
        writer->Put(zeros, 4);
    }
}

Token RunToken(int run) {
    int g = run - 2;
    if (g <= 32)
        return {g, 0, 0};
    int x = 1;
    while ((2 << x) + 31 <= g)
        x++;
    return {32 + x, x, uint32_t(g - (1 << x) - 31)};
}

void WriteCodeLengths(BitWriter *writer, const std::vector<int> &lengths) {
    writer->Put(0, 1);
    std::vector<Token> first, second;  // second[i] follows a repeat first[i]
    for (size_t i = 0; i < lengths.size();) {
        size_t run = 1;
        while (i + run < lengths.size() && lengths[i + run] == lengths[i])
            run++;
        if (run >= 3) {
            first.push_back({32 + lengths[i], 0, 0});
            second.push_back(RunToken(static_cast<int>(run)));
            i += run;
        } else {
            first.push_back({lengths[i], 0, 0});
            second.push_back({-1, 0, 0});
            i++;
        }
    }
    std::vector<int64_t> freqA(64, 0), freqB(64, 0);
    for (size_t t = 0; t < first.size(); t++) {
        freqA[first[t].symbol]++;
        if (second[t].symbol >= 0)
            freqB[second[t].symbol]++;
    }
    std::vector<int> lengthsA = HuffmanLengths(freqA), lengthsB = HuffmanLengths(freqB);
    std::vector<int> nested(lengthsA);
    nested.insert(nested.end(), lengthsB.begin(), lengthsB.end());
    WriteNestedLengths(writer, nested);
    std::vector<Code> codesA = CanonicalCodes(lengthsA), codesB = CanonicalCodes(lengthsB);
    for (size_t t = 0; t < first.size(); t++) {
        WriteToken(writer, codesA, first[t]);
        if (second[t].symbol >= 0)
            WriteToken(writer, codesB, second[t]);
    }
}

void PutBigEndian32(std::vector<uint8_t> *bytes, size_t at, uint32_t value) {
    for (int i = 0; i < 4; i++)
        (*bytes)[at + i] = static_cast<uint8_t>(value >> (24 - 8 * i));
}

}  // namespace

CompressedTableOptions::CompressedTableOptions()
    : distances{1,  2,  3,  4,  5,  6,  7,  8,  9,   10,  11,  12,
                13, 14, 15, 16, 24, 32, 48, 64, 128, 256, 512, 1024} {}

TableContent ContentOfBytes(const std::vector<uint8_t> &bytes) {
    TableContent content;
    content.nBytes = static_cast<int64_t>(bytes.size());
    for (size_t start = 0; start < bytes.size(); start += BLOCK) {
        std::vector<uint8_t> block(BLOCK, 0);
        size_t size = std::min<size_t>(BLOCK, bytes.size() - start);
        std::copy(bytes.begin() + start, bytes.begin() + start + size, block.begin());
        content.distinct.push_back(block);
    }
    content.blockKind = [](int64_t b) { return static_cast<int>(b); };
    return content;
}

namespace {

// The blocks of a content by key: distinct content times short last block.
struct BlockPlan {
    int64_t nBlocks;
    int lastSize;
    std::vector<int64_t> keys;  // per block
    std::map<int64_t, std::vector<Token>> tokensByKey;
    std::map<int64_t, std::vector<uint8_t>> bytesByKey;
};

int SizeOfKey(const BlockPlan &plan, int64_t key) {
    return (key & 1) ? plan.lastSize : BLOCK;
}

// Tokens of every distinct block, and the code they share.
std::vector<int> TokenizeContent(const TableContent &content, const CompressedTableOptions &options,
                                 BlockPlan *plan) {
    plan->nBlocks = (content.nBytes + BLOCK - 1) / BLOCK;
    plan->lastSize = static_cast<int>(content.nBytes - (plan->nBlocks - 1) * BLOCK);
    std::vector<int64_t> freq(1024, 0);
    for (int64_t b = 0; b < plan->nBlocks; b++) {
        bool shortLast = b == plan->nBlocks - 1 && plan->lastSize != BLOCK;
        int64_t key = int64_t(content.blockKind(b)) * 2 + shortLast;
        plan->keys.push_back(key);
        if (plan->tokensByKey.count(key) != 0 && b != 0)
            continue;
        const std::vector<uint8_t> &data = content.distinct[key / 2];
        std::vector<Token> tokens =
            TokenizeBlock(data.data(), SizeOfKey(*plan, key), options.distances);
        if (b == 0 && options.copyBeforeBlockStart)
            tokens.insert(tokens.begin(), CopyToken(0, 1));
        for (const Token &token : tokens)
            freq[token.symbol]++;
        plan->tokensByKey[key] = tokens;
    }
    return HuffmanLengths(freq);
}

// Block bytes per key: coded, or stored when coding does not pay.
void EncodeBlocks(const TableContent &content, const CompressedTableOptions &options,
                  const std::vector<int> &lengths, BlockPlan *plan) {
    std::vector<Code> codes = CanonicalCodes(lengths);
    for (const auto &[key, tokens] : plan->tokensByKey) {
        int size = SizeOfKey(*plan, key);
        BitWriter writer;
        for (const Token &token : tokens)
            WriteToken(&writer, codes, token);
        if (writer.bytes.empty())
            writer.bytes.push_back(0);
        const std::vector<uint8_t> &data = content.distinct[key / 2];
        if (options.storeEveryBlock || static_cast<int>(writer.bytes.size()) >= size)
            writer.bytes.assign(data.begin(), data.begin() + size);
        plan->bytesByKey[key] = writer.bytes;
    }
}

// Banner, counts, the unread 8 bytes per block, packed sizes and
// distances, code lengths and the checksum.
std::vector<uint8_t> BuildHeader(const CompressedTableOptions &options,
                                 const std::vector<int> &lengths, BlockPlan *plan) {
    BitWriter packed;
    for (int64_t key : plan->keys)
        packed.Put(static_cast<uint32_t>(plan->bytesByKey[key].size()) & (BLOCK - 1), LOG2_BLOCK);
    packed.Put(plan->lastSize & (BLOCK - 1), LOG2_BLOCK);
    for (int32_t distance : options.distances)
        packed.Put(distance, LOG2_BLOCK);
    BitWriter lengthSection;
    std::vector<int> written = lengths;
    if (options.oversubscribedCode)
        *std::find(written.begin(), written.end(), 0) = 1;
    if (options.allZeroLengths)
        lengthSection.Put(1, 1);
    else
        WriteCodeLengths(&lengthSection, written);
    size_t headerLength =
        80 + 8 * plan->nBlocks + packed.bytes.size() + lengthSection.bytes.size() + 4;
    std::vector<uint8_t> file(80 + 8 * plan->nBlocks, 0);
    std::copy(compressedFileBanner, compressedFileBanner + 64, file.begin());
    PutBigEndian32(&file, 64, static_cast<uint32_t>(headerLength));
    file[70] = LOG2_BLOCK;
    file[71] = 24;
    PutBigEndian32(&file, 72, static_cast<uint32_t>(plan->nBlocks));
    std::copy(compressedHeaderTag, compressedHeaderTag + 4, file.begin() + 76);
    file.insert(file.end(), packed.bytes.begin(), packed.bytes.end());
    file.insert(file.end(), lengthSection.bytes.begin(), lengthSection.bytes.end());
    file.resize(headerLength);
    PutBigEndian32(&file, headerLength - 4, ComputeChecksum(file.data(), headerLength - 4));
    return file;
}

}  // namespace

std::vector<uint8_t> EncodeCompressedTable(const TableContent &content,
                                           const CompressedTableOptions &options,
                                           std::vector<int64_t> *blockOffsets) {
    BlockPlan plan;
    std::vector<int> lengths = TokenizeContent(content, options, &plan);
    EncodeBlocks(content, options, lengths, &plan);
    std::vector<uint8_t> file = BuildHeader(options, lengths, &plan);
    if (blockOffsets != nullptr)
        blockOffsets->clear();
    for (int64_t key : plan.keys) {
        if (blockOffsets != nullptr)
            blockOffsets->push_back(static_cast<int64_t>(file.size()));
        const std::vector<uint8_t> &bytes = plan.bytesByKey[key];
        file.insert(file.end(), bytes.begin(), bytes.end());
    }
    if (blockOffsets != nullptr)
        blockOffsets->push_back(static_cast<int64_t>(file.size()));
    return file;
}

std::vector<uint8_t> EncodeCompressedTable(const std::vector<uint8_t> &bytes,
                                           const CompressedTableOptions &options) {
    return EncodeCompressedTable(ContentOfBytes(bytes), options);
}

uint8_t HashedByte(int64_t i, uint32_t seed) {
    uint64_t x = uint64_t(i) * 0x9E3779B97F4A7C15ull + seed;
    x ^= x >> 29;
    x *= 0xBF58476D1CE4E5B9ull;
    return static_cast<uint8_t>(x >> 56);
}

std::vector<uint8_t> HashedTable(int64_t n, uint32_t seed) {
    std::vector<uint8_t> bytes(n);
    for (int64_t i = 0; i < n; i++)
        bytes[i] = HashedByte(i, seed);
    return bytes;
}

std::string MakeTempDirectory() {
    char pattern[] = "/tmp/vlm_tb_XXXXXX";
    char *made = mkdtemp(pattern);
    EXPECT_NE(made, nullptr);
    return made != nullptr ? std::string(made) : std::string("/tmp");
}

void WriteFileBytes(const std::string &path, const std::vector<uint8_t> &bytes) {
    std::FILE *file = fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr) << path;
    ASSERT_EQ(fwrite(bytes.data(), 1, bytes.size(), file), bytes.size());
    fclose(file);
}

void RemoveDirectoryTree(const std::string &path) {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
}

ProbeBoard BoardOf(const char *pieces) {
    static const char LETTERS[] = "kqrbnp";
    ProbeBoard board;
    std::fill(board.squares, board.squares + 64, int8_t(6));
    for (const char *p = pieces; *p != '\0';) {
        if (*p == ' ') {
            p++;
            continue;
        }
        bool white = *p >= 'A' && *p <= 'Z';
        char lower = static_cast<char>(white ? *p - 'A' + 'a' : *p);
        int kind = static_cast<int>(strchr(LETTERS, lower) - LETTERS);
        int square = (p[2] - '1') * 8 + (p[1] - 'a');
        board.squares[square] = static_cast<int8_t>(white ? 12 - kind : kind);
        p += 3;
    }
    return board;
}

void SplitBoard(const ProbeBoard &board, PieceSquares *white, PieceSquares *black) {
    for (int slot = 0; slot < 16; slot++)
        white->squares[slot] = black->squares[slot] = TB_NO_SQUARE;
    int placed[2][5] = {};
    for (int square = 0; square < 64; square++) {
        int code = board.squares[square];
        if (code == 6)
            continue;
        bool isWhite = code > 6;
        PieceSquares *side = isWhite ? white : black;
        int kind = isWhite ? 12 - code : code;  // 0 king, 1 queen .. 5 pawn
        if (kind == 0) {
            side->squares[15] = square;
            continue;
        }
        int type = 5 - kind;  // p n b r q
        side->squares[3 * type + placed[isWhite][type]++] = square;
    }
}

bool ScoreOfByte(int8_t byte, int *score) {
    if (byte == 127)
        return false;
    if (byte == 0)
        *score = 0;
    else if (byte == -128)
        *score = 127;
    else if (byte == -127)
        *score = -128;
    else
        *score = byte > 0 ? 127 - byte : -byte - 128;
    return true;
}
