#pragma once

#include "codecs/image_stream.h"

#include <cstdint>

// The LZW stage of the GIF reader. Codes of growing width are read least significant bit first
// from the data sub-blocks of one image and turned into palette indices one row at a time. The
// part of a string that does not fit in a row waits on the pixel stack for the next row, so rows
// can be handed out one by one without buffering the picture.
//
// Whatever the data says, the decoder never reads outside the stream and never writes outside the
// row it is given or its own tables: codes beyond the table fail, strings are bounded by the
// stack, and once the table is full without a clear the code size stays at 12 and nothing more
// is defined.
class GifLzwDecoder
{
public:
    static constexpr int kMaxCodeSize = 12;
    static constexpr std::uint32_t kTableSize = 1u << kMaxCodeSize;
    // The largest minimum code size whose first codes still fit in 12 bits.
    static constexpr int kMaxMinimumCodeSize = kMaxCodeSize - 1;
    // Marks an undefined table entry and the absence of a previous code.
    static constexpr std::uint32_t kNone = kTableSize + 2;

    // Starts the data of one image with its minimum code size (1 to kMaxMinimumCodeSize); the
    // stream stands at the length byte of the first data sub-block.
    void start(int minimumCodeSize);

    // Fills up to n pixels of row. An end code, or the end of the image's sub-blocks, ends the
    // row early and leaves the rest of it as it was. Throws 46024 for a code that is not defined
    // (38003:64:1) or a string chain that is too long or broken (38003:64:2), and 46023 when the
    // file ends inside the data.
    void decodeRow(ImageStream &stream, std::uint8_t *row, std::int32_t n);

    // True once the zero-length sub-block that closes the image's data has been read.
    bool dataEnded() const { return ended; }

private:
    // Where the code reading stands. decodeRow works on a copy of it in locals: stores into the
    // row may alias any member, which would keep the compiler from holding these in registers.
    struct CodeReader
    {
        const std::uint8_t *block = nullptr; // the rest of the current sub-block
        std::uint32_t blockLeft = 0;
        std::uint32_t accumulator = 0; // bits not yet used, least significant first
        int bitCount = 0;
        std::uint32_t nextCode = 0;
        int codeSize = 0;
        std::uint32_t codeLimit = 0;
    };

    struct SubBlock
    {
        const std::uint8_t *data;
        std::uint32_t size;
    };

    bool readCode(ImageStream &stream, CodeReader &r, std::uint32_t &code);
    SubBlock nextSubBlock(ImageStream &stream);
    void resetCodes(CodeReader &r) const;
    void clearTable();

    struct Emitted
    {
        std::uint8_t *out; // where the row goes on
        std::uint8_t first; // the string's first pixel
    };

    Emitted expand(std::uint32_t code, std::uint32_t nextCode, std::uint8_t *out,
                   std::uint8_t *end);
    void writeString(std::uint32_t code, std::uint32_t n, std::uint8_t *out) const;
    void define(std::uint32_t entry, std::uint8_t first);

    int minimumCodeSize = 0;
    std::uint32_t clearCode = 0;
    std::uint32_t endCode = 0;
    CodeReader reader;
    bool ended = false;
    std::uint32_t oldCode = kNone;
    // The first pixel of the old code's string, kept so that it needs no walk along the chain.
    std::uint8_t oldFirst = 0;
    // The highest entry defined since the last reset: a clear only needs to undo up to there.
    std::uint32_t highestDefined = 0;

    // Prefix code, last pixel and length of each entry's string. Literal codes are strings of
    // length 1; every table has room for the index kNone, so that even a broken chain would be
    // followed inside the tables.
    std::uint16_t prefix[kNone + 1] = {};
    std::uint8_t suffix[kNone + 1] = {};
    std::uint16_t length[kNone + 1] = {};
    std::uint8_t stack[kTableSize] = {};
    std::uint32_t depth = 0;
};
