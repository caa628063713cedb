// Block decoder: a block is either stored as it is or coded as literals and
// copies back into the same block. No write passes the block's end and no
// copy reads before its start; a block that breaks either rule is refused.
#include "tablebases/block_decoder.h"

#include <cstdlib>
#include <cstring>

int NewDecodeContext(DecodeContext **out, int blockSize) {
    if (out == nullptr)
        return TbError(TB_ERROR_ARGUMENT, 20);
    *out = nullptr;
    DecodeContext *context = static_cast<DecodeContext *>(calloc(1, sizeof(DecodeContext)));
    if (context == nullptr)
        return TbError(TB_ERROR_MEMORY, 21);
    decodeBytesAllocated += sizeof(DecodeContext);
    int error = InitDecodeContext(context, blockSize, nullptr);
    if (error != 0) {
        free(context);
        return error;
    }
    *out = context;
    return 0;
}

void FreeDecodeContext(DecodeContext *context) {
    free(context);
}

int InitDecodeContext(DecodeContext *context, int blockSize, uint8_t *outputBuffer) {
    if (context == nullptr || blockSize <= 0 || blockSize > DECODE_BLOCK_BYTES)
        return TbError(TB_ERROR_ARGUMENT, 22);
    context->output = nullptr;
    context->presetBytes = 0;
    context->blockSize = blockSize;
    context->blockNumber = -1;
    context->outputBuffer = outputBuffer;
    context->selectedSize = 0;
    context->readBuffer = context->inputBuffer;
    context->compressedLength = 0;
    context->outputPosition = 0;
    context->copySource = 0;
    context->pendingCopy = 0;
    InitBitReader(&context->bits, context->readBuffer, 0);
    context->selectedBlock = -1;
    context->magic = DECODE_CONTEXT_MAGIC;
    return 0;
}

int SelectBlock(DecodeContext *context, const CompressedFileInfo *info, std::FILE *file,
                int block) {
    // 1. A block of this file that fits the context.
    if (context == nullptr || context->magic != DECODE_CONTEXT_MAGIC || info == nullptr ||
        info->magic != COMPRESSED_FILE_MAGIC || file == nullptr || context->outputBuffer == nullptr)
        return TbError(TB_ERROR_ARGUMENT, 23);
    if (block < 0 || block >= info->blockCount)
        return TbError(TB_ERROR_ARGUMENT, 24);
    context->selectedBlock = -1;
    int32_t size = block == info->blockCount - 1 ? info->lastBlockSize : info->blockSize;
    if (size > context->blockSize)
        return TbError(TB_ERROR_ARGUMENT, 25);
    // 2. Its compressed bytes, which must fit the input buffer.
    int64_t start = GetBlockOffset(info, block);
    int64_t length = GetBlockOffset(info, block + 1) - start;
    if (length <= 0 || length > DECODE_BLOCK_BYTES)
        return TbError(TB_ERROR_BROKEN, 26);
    if (!SeekTablebaseFile(file, start) ||
        fread(context->readBuffer, 1, static_cast<size_t>(length), file) != size_t(length))
        return TbError(TB_ERROR_READ, 27);
    context->selectedBlock = block;
    context->selectedSize = size;
    context->compressedLength = static_cast<int32_t>(length);
    // 3. A block as long as its content is stored as it is.
    context->presetBytes = 0;
    if (length == size) {
        memcpy(context->outputBuffer, context->readBuffer, size);
        context->presetBytes = size;
    }
    // 4. Decoding starts afresh.
    context->outputPosition = context->presetBytes;
    context->pendingCopy = 0;
    context->copySource = 0;
    InitBitReader(&context->bits, context->readBuffer, length);
    return 0;
}

int32_t ReadCopyLength(BitReader *reader, int lengthCode) {
    if (lengthCode <= 14)
        return lengthCode + 1;
    if (lengthCode <= 30) {
        int nBits = lengthCode - 14;
        return (1 << nBits) + static_cast<int32_t>(ReadBits(reader, nBits)) + 14;
    }
    uint32_t high = ReadBits(reader, 16);
    uint32_t value = (high << 1) | ReadBits(reader, 1);
    return (1 << 17) + static_cast<int32_t>(value) + 14;
}

// Writes up to end from the copy in progress; what the end cuts stays
// pending.
static void WriteCopy(DecodeContext *context, int end) {
    uint8_t *out = context->outputBuffer;
    while (context->pendingCopy > 0 && context->outputPosition < end) {
        out[context->outputPosition++] = out[context->copySource++];
        context->pendingCopy--;
    }
}

int ExpandBlockData(const CompressedFileInfo *info, DecodeContext *context, int end) {
    WriteCopy(context, end);
    while (context->outputPosition < end) {
        int symbol = DecodeSymbol(info->decodeTable, BLOCK_DECODE_TABLE_SIZE, BLOCK_LOOKUP_BITS,
                                  &context->bits);
        if (symbol < 0)
            return TbError(TB_ERROR_BROKEN, 30);
        if (symbol < 256) {
            context->outputBuffer[context->outputPosition++] = static_cast<uint8_t>(symbol);
            continue;
        }
        int32_t length = ReadCopyLength(&context->bits, symbol & 31);
        int32_t distance = -info->distances[(symbol - 256) >> 5];
        // A copy reads only bytes this block has already produced.
        if (distance <= 0 || distance > context->outputPosition)
            return TbError(TB_ERROR_BROKEN, 31);
        context->copySource = context->outputPosition - distance;
        context->pendingCopy = length;
        WriteCopy(context, end);
    }
    // Bits past the block's own bytes mean a cut or damaged block.
    if (BitReaderOverran(&context->bits))
        return TbError(TB_ERROR_BROKEN, 32);
    return 0;
}

int DecodeBlock(DecodeContext *context, const CompressedFileInfo *info, int size) {
    if (context == nullptr || context->magic != DECODE_CONTEXT_MAGIC || info == nullptr ||
        context->selectedBlock < 0)
        return TbError(TB_ERROR_ARGUMENT, 33);
    if (size < 1 || size > context->selectedSize)
        return TbError(TB_ERROR_ARGUMENT, 34);
    int error = ExpandBlockData(info, context, size);
    if (error != 0)
        return error;
    // A copy running past the whole block describes more than the block.
    if (size == context->selectedSize && context->pendingCopy > 0)
        return TbError(TB_ERROR_BROKEN, 35);
    context->output = context->outputBuffer;
    context->blockNumber = context->selectedBlock;
    return 0;
}
