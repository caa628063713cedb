// Canonical codes: tables decode what canonical assignment gives, codes
// that are not complete are refused, and the length section reader stops
// at the end of its lengths.
#include "tablebases/huffman_code.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Bits given as text, most significant first, packed into bytes.
std::vector<uint8_t> Bits(const char *text) {
    std::vector<uint8_t> bytes;
    int n = 0;
    for (const char *p = text; *p != '\0'; p++) {
        if (*p != '0' && *p != '1')
            continue;
        if (n % 8 == 0)
            bytes.push_back(0);
        if (*p == '1')
            bytes.back() |= static_cast<uint8_t>(0x80 >> (n % 8));
        n++;
    }
    return bytes;
}

std::vector<int> DecodeAll(const std::vector<int16_t> &table, int lookupBits, const char *text,
                           int count) {
    std::vector<uint8_t> bytes = Bits(text);
    BitReader reader;
    InitBitReader(&reader, bytes.data(), static_cast<int64_t>(bytes.size()));
    std::vector<int> symbols;
    for (int i = 0; i < count; i++)
        symbols.push_back(
            DecodeSymbol(table.data(), static_cast<int>(table.size()), lookupBits, &reader));
    return symbols;
}

}  // namespace

TEST(HuffmanCode, CanonicalCodesDecodeInOrder) {
    // Lengths 2,1,3,3: B=0, A=10, C=110, D=111.
    uint8_t lengths[4] = {2, 1, 3, 3};
    std::vector<int16_t> table(DecodeTableSize(4, 2));
    ASSERT_EQ(BuildDecodeTable(table.data(), lengths, 4, 2), 0);
    EXPECT_EQ(DecodeAll(table, 2, "0 10 110 111 0", 5), (std::vector<int>{1, 0, 2, 3, 1}));
}

TEST(HuffmanCode, LongCodesWalkTheTree) {
    // A complete code with lengths up to 20 over a 4-bit lookup.
    std::vector<uint8_t> lengths(21);
    for (int s = 0; s < 20; s++)
        lengths[s] = static_cast<uint8_t>(s + 1);
    lengths[20] = 20;
    std::vector<int16_t> table(DecodeTableSize(21, 4));
    ASSERT_EQ(BuildDecodeTable(table.data(), lengths.data(), 21, 4), 0);
    // Symbol s (< 20) is s ones then a zero; 20 is twenty ones.
    std::string text;
    for (int s : {0, 5, 19, 20, 13}) {
        text += std::string(s == 20 ? 20 : s, '1');
        if (s != 20)
            text += '0';
    }
    EXPECT_EQ(DecodeAll(table, 4, text.c_str(), 5), (std::vector<int>{0, 5, 19, 20, 13}));
}

TEST(HuffmanCode, IncompleteAndOversubscribedCodesAreRefused) {
    std::vector<int16_t> table(DecodeTableSize(4, 8));
    uint8_t incomplete[4] = {2, 2, 2, 0};
    uint8_t oversubscribed[4] = {1, 2, 2, 2};
    uint8_t tooLong[4] = {1, 32, 0, 0};
    uint8_t lonelyLength2[4] = {0, 2, 0, 0};
    EXPECT_EQ(BuildDecodeTable(table.data(), incomplete, 4, 8) & 0xFF, TB_ERROR_BROKEN);
    EXPECT_EQ(BuildDecodeTable(table.data(), oversubscribed, 4, 8) & 0xFF, TB_ERROR_BROKEN);
    EXPECT_EQ(BuildDecodeTable(table.data(), tooLong, 4, 8) & 0xFF, TB_ERROR_BROKEN);
    EXPECT_EQ(BuildDecodeTable(table.data(), lonelyLength2, 4, 8) & 0xFF, TB_ERROR_BROKEN);
}

TEST(HuffmanCode, OneSymbolOrNoneConsumesNoBits) {
    std::vector<int16_t> table(DecodeTableSize(4, 8));
    uint8_t single[4] = {0, 0, 1, 0};
    ASSERT_EQ(BuildDecodeTable(table.data(), single, 4, 8), 0);
    EXPECT_EQ(DecodeAll(table, 8, "", 3), (std::vector<int>{2, 2, 2}));
    uint8_t none[4] = {0, 0, 0, 0};
    ASSERT_EQ(BuildDecodeTable(table.data(), none, 4, 8), 0);
    EXPECT_EQ(DecodeAll(table, 8, "", 2), (std::vector<int>{0, 0}));
}

TEST(HuffmanCode, NestedLengthsAndTheirRuns) {
    uint8_t lengths[8];
    // Width 3: 2, 0 then three more zeros, 1, 3, 3.
    std::vector<uint8_t> bits = Bits("0 00011 010 000 0011 001 011 011");
    BitReader reader;
    InitBitReader(&reader, bits.data(), static_cast<int64_t>(bits.size()));
    ASSERT_EQ(ReadCodeLengths(&reader, lengths, 8), 0);
    EXPECT_EQ(std::vector<int>(lengths, lengths + 8), (std::vector<int>{2, 0, 0, 0, 0, 1, 3, 3}));
    EXPECT_FALSE(BitReaderOverran(&reader));
    // A zero run past the last length, and a width of 0.
    bits = Bits("0 00011 010 000 1111");
    InitBitReader(&reader, bits.data(), static_cast<int64_t>(bits.size()));
    EXPECT_EQ(ReadCodeLengths(&reader, lengths, 8) & 0xFF, TB_ERROR_BROKEN);
    bits = Bits("0 00000 1");
    InitBitReader(&reader, bits.data(), static_cast<int64_t>(bits.size()));
    EXPECT_EQ(ReadCodeLengths(&reader, lengths, 8) & 0xFF, TB_ERROR_BROKEN);
    // A first bit of 1: every length is 0.
    bits = Bits("1");
    InitBitReader(&reader, bits.data(), 1);
    ASSERT_EQ(ReadCodeLengths(&reader, lengths, 8), 0);
    EXPECT_EQ(std::vector<int>(lengths, lengths + 8), std::vector<int>(8, 0));
}

TEST(HuffmanCode, ReaderCountsBitsPastTheEnd) {
    uint8_t byte = 0xA5;
    BitReader reader;
    InitBitReader(&reader, &byte, 1);
    EXPECT_EQ(ReadBits(&reader, 4), 0xAu);
    EXPECT_EQ(ReadBits(&reader, 4), 0x5u);
    EXPECT_FALSE(BitReaderOverran(&reader));
    EXPECT_EQ(ReadBits(&reader, 17), 0u);
    EXPECT_TRUE(BitReaderOverran(&reader));
}
