// Block decoder: every block decodes back to the bytes the writer encoded;
// damaged blocks are refused or decode to something, never outside the
// buffer; copy lengths are pinned.
#include "tablebases/block_decoder.h"

#include <gtest/gtest.h>

#include <random>

#include "tests/tablebases/tb_writer.h"

namespace {

struct DecodedFile {
    int openError = 0;
    std::vector<int> blockErrors;
    std::vector<uint8_t> bytes;
    std::vector<int> presetBytes;
};

DecodedFile DecodeFile(const std::vector<uint8_t> &fileBytes) {
    DecodedFile result;
    std::FILE *file = tmpfile();
    fwrite(fileBytes.data(), 1, fileBytes.size(), file);
    rewind(file);
    CompressedFileInfo *info = nullptr;
    result.openError = OpenCompressedFile(&info, file);
    if (result.openError == 0) {
        DecodeContext *context = nullptr;
        EXPECT_EQ(NewDecodeContext(&context, DECODE_BLOCK_BYTES), 0);
        std::vector<uint8_t> buffer(8228);
        for (int b = 0; b < info->blockCount; b++) {
            EXPECT_EQ(InitDecodeContext(context, DECODE_BLOCK_BYTES, buffer.data()), 0);
            int error = SelectBlock(context, info, file, b);
            if (error == 0)
                error = DecodeBlock(context, info, context->selectedSize);
            result.blockErrors.push_back(error);
            result.presetBytes.push_back(context->presetBytes);
            if (error == 0)
                result.bytes.insert(result.bytes.end(), buffer.begin(),
                                    buffer.begin() + context->selectedSize);
        }
        FreeDecodeContext(context);
        FreeCompressedFile(info);
    }
    fclose(file);
    return result;
}

std::vector<uint8_t> Pattern(size_t n, int kind, uint32_t seed) {
    std::mt19937 random(seed);
    std::vector<uint8_t> bytes(n);
    for (size_t i = 0; i < n; i++) {
        switch (kind) {
            case 0:  // incompressible
                bytes[i] = static_cast<uint8_t>(random());
                break;
            case 1:  // long runs of one value
                bytes[i] = static_cast<uint8_t>((i / 5000) * 3);
                break;
            case 2:  // periodic with noise, like a table of mate distances
                bytes[i] = static_cast<uint8_t>((i % 300) < 7 ? random() % 4 : (i % 7) * 11);
                break;
            default:  // few values
                bytes[i] = static_cast<uint8_t>(random() % 11 - 5);
                break;
        }
    }
    return bytes;
}

}  // namespace

TEST(BlockDecoder, BlocksRoundTrip) {
    for (int kind = 0; kind < 4; kind++) {
        std::vector<uint8_t> bytes = Pattern(3 * 8192 + 100, kind, kind + 1);
        DecodedFile decoded = DecodeFile(EncodeCompressedTable(bytes));
        ASSERT_EQ(decoded.openError, 0) << kind;
        EXPECT_EQ(decoded.blockErrors, std::vector<int>(4, 0)) << kind;
        EXPECT_TRUE(decoded.bytes == bytes) << kind;
        // Incompressible blocks are stored and copied, not decoded.
        if (kind == 0) {
            EXPECT_EQ(decoded.presetBytes, (std::vector<int>{8192, 8192, 8192, 100}));
        } else if (kind == 1) {
            EXPECT_EQ(decoded.presetBytes, std::vector<int>(4, 0));
        }
    }
}

TEST(BlockDecoder, ShortCopiesRepeatTheLastBytes) {
    // Distance 1 of length 10 repeats one byte; distance 3 of length 16 a
    // group of three.
    std::vector<uint8_t> bytes = {'x', 'y', 'z', 'B'};
    bytes.insert(bytes.end(), 10, 'B');
    for (int i = 0; i < 16; i++)
        bytes.push_back(bytes[bytes.size() - 3]);
    DecodedFile decoded = DecodeFile(EncodeCompressedTable(bytes));
    ASSERT_EQ(decoded.openError, 0);
    EXPECT_EQ(decoded.blockErrors, std::vector<int>(1, 0));
    EXPECT_TRUE(decoded.bytes == bytes);
}

TEST(BlockDecoder, OneSymbolAlphabetNeedsNoBits) {
    CompressedTableOptions noCopies;
    noCopies.distances.fill(0);
    std::vector<uint8_t> bytes(2 * 8192 + 77, 0x2A);
    DecodedFile decoded = DecodeFile(EncodeCompressedTable(bytes, noCopies));
    ASSERT_EQ(decoded.openError, 0);
    EXPECT_EQ(decoded.blockErrors, std::vector<int>(3, 0));
    EXPECT_TRUE(decoded.bytes == bytes);
    // A length section whose first bit is 1 decodes every block to zeros.
    CompressedTableOptions zeroLengths;
    zeroLengths.allZeroLengths = true;
    std::vector<uint8_t> zeros(8192 + 5, 0);
    decoded = DecodeFile(EncodeCompressedTable(zeros, zeroLengths));
    ASSERT_EQ(decoded.openError, 0);
    EXPECT_EQ(decoded.blockErrors, std::vector<int>(2, 0));
    EXPECT_TRUE(decoded.bytes == zeros);
}

TEST(BlockDecoder, CopyBeforeTheBlockStartIsRefused) {
    CompressedTableOptions options;
    options.copyBeforeBlockStart = true;
    DecodedFile decoded = DecodeFile(EncodeCompressedTable(Pattern(2 * 8192, 3, 9), options));
    ASSERT_EQ(decoded.openError, 0);
    ASSERT_EQ(decoded.blockErrors.size(), 2u);
    EXPECT_EQ(decoded.blockErrors[0] & 0xFF, TB_ERROR_BROKEN);
    EXPECT_EQ(decoded.blockErrors[1], 0);
}

TEST(BlockDecoder, BlockDataPastTheFileEndIsAReadError) {
    std::vector<uint8_t> file = EncodeCompressedTable(Pattern(3 * 8192, 2, 4));
    file.erase(file.end() - 3, file.end());
    DecodedFile decoded = DecodeFile(file);
    ASSERT_EQ(decoded.openError, 0);
    EXPECT_EQ(decoded.blockErrors[0], 0);
    EXPECT_EQ(decoded.blockErrors[2] & 0xFF, TB_ERROR_READ);
}

TEST(BlockDecoder, DamagedBlocksStayInsideTheBuffer) {
    std::vector<int64_t> offsets;
    std::vector<uint8_t> good = EncodeCompressedTable(ContentOfBytes(Pattern(4 * 8192, 2, 7)),
                                                      CompressedTableOptions(), &offsets);
    std::mt19937 random(5);
#ifdef VLM_DEBUG
    const int nTrials = 60;
#else
    const int nTrials = 300;
#endif
    int nRefused = 0;
    for (int trial = 0; trial < nTrials; trial++) {
        std::vector<uint8_t> bad = good;
        for (int flip = 0; flip < 1 + trial % 4; flip++) {
            int64_t at = offsets[0] + random() % (offsets.back() - offsets[0]);
            bad[at] ^= static_cast<uint8_t>(1 << (random() % 8));
        }
        DecodedFile decoded = DecodeFile(bad);
        ASSERT_EQ(decoded.openError, 0);
        for (int error : decoded.blockErrors)
            nRefused += error != 0;
    }
    EXPECT_GT(nRefused, 0);
}

TEST(BlockDecoder, CopyLengthsArePinned) {
    const uint8_t zeros[4] = {0, 0, 0, 0}, ones[4] = {0xFF, 0xFF, 0xFF, 0xFF};
    BitReader reader;
    InitBitReader(&reader, zeros, 4);
    EXPECT_EQ(ReadCopyLength(&reader, 0), 1);
    EXPECT_EQ(ReadCopyLength(&reader, 14), 15);
    EXPECT_EQ(ReadCopyLength(&reader, 15), 16);
    EXPECT_EQ(reader.bitsUsed, 1);
    EXPECT_EQ(ReadCopyLength(&reader, 31), (1 << 17) + 14);
    EXPECT_EQ(reader.bitsUsed, 18);
    InitBitReader(&reader, ones, 4);
    EXPECT_EQ(ReadCopyLength(&reader, 15), 17);
    EXPECT_EQ(ReadCopyLength(&reader, 30), (1 << 16) + 65535 + 14);
}

TEST(BlockDecoder, ArgumentsOutsideTheFileAreRefused) {
    std::vector<uint8_t> bytes = EncodeCompressedTable(Pattern(8192 + 10, 3, 3));
    std::FILE *file = tmpfile();
    fwrite(bytes.data(), 1, bytes.size(), file);
    CompressedFileInfo *info = nullptr;
    rewind(file);
    ASSERT_EQ(OpenCompressedFile(&info, file), 0);
    DecodeContext *context = nullptr;
    ASSERT_EQ(NewDecodeContext(&context, DECODE_BLOCK_BYTES), 0);
    std::vector<uint8_t> buffer(8228);
    ASSERT_EQ(InitDecodeContext(context, DECODE_BLOCK_BYTES, buffer.data()), 0);
    EXPECT_EQ(SelectBlock(context, info, file, 2) & 0xFF, TB_ERROR_ARGUMENT);
    EXPECT_EQ(SelectBlock(context, info, file, -1) & 0xFF, TB_ERROR_ARGUMENT);
    ASSERT_EQ(SelectBlock(context, info, file, 1), 0);
    EXPECT_EQ(context->selectedSize, 10);
    EXPECT_EQ(DecodeBlock(context, info, 11) & 0xFF, TB_ERROR_ARGUMENT);
    EXPECT_EQ(DecodeBlock(context, info, 0) & 0xFF, TB_ERROR_ARGUMENT);
    EXPECT_EQ(DecodeBlock(context, info, 10), 0);
    EXPECT_EQ(NewDecodeContext(nullptr, DECODE_BLOCK_BYTES) & 0xFF, TB_ERROR_ARGUMENT);
    FreeDecodeContext(context);
    FreeCompressedFile(info);
    fclose(file);
}

TEST(BlockDecoder, DamagedCodeSectionsAreRefusedOrDecodeInside) {
    std::vector<uint8_t> good = EncodeCompressedTable(Pattern(3 * 8192, 3, 11));
    uint32_t headerLength = (good[64] << 24) | (good[65] << 16) | (good[66] << 8) | good[67];
    int64_t lengthsStart = 80 + 8 * 3 + (13 * (3 + 25) + 7) / 8;
    std::mt19937 random(12);
#ifdef VLM_DEBUG
    const int nTrials = 100;
#else
    const int nTrials = 500;
#endif
    int nRefused = 0;
    for (int trial = 0; trial < nTrials; trial++) {
        std::vector<uint8_t> bad = good;
        for (int flip = 0; flip < 1 + trial % 3; flip++) {
            int64_t at = lengthsStart + random() % (headerLength - 4 - lengthsStart);
            bad[at] ^= static_cast<uint8_t>(1 << (random() % 8));
        }
        // Damage that the checksum does not catch.
        uint32_t checksum = ComputeChecksum(bad.data(), headerLength - 4);
        for (int i = 0; i < 4; i++)
            bad[headerLength - 4 + i] = static_cast<uint8_t>(checksum >> (24 - 8 * i));
        DecodedFile decoded = DecodeFile(bad);
        if (decoded.openError != 0) {
            EXPECT_EQ(decoded.openError & 0xFF, TB_ERROR_BROKEN);
            nRefused++;
        }
    }
    EXPECT_GT(nRefused, nTrials / 4);
}
