#include "codecs/gif_lzw_decoder.h"

#include "common/alb_exception.h"
#include "common/string_ids.h"

#include <algorithm>

namespace {

constexpr std::uint32_t kPlaceLzw = 64;
constexpr std::uint32_t kStepUndefinedCode = 1;
constexpr std::uint32_t kStepBadChain = 2;

// A walk along a prefix chain that pushes this many pixels cannot come from a real table: the
// longest string of a 4,096-entry table is shorter.
constexpr std::uint32_t kMaxWalk = 4094;

// The code counter stops here: past the last entry it only has to stay beyond the table, and a
// stream that never clears must not make it wrap.
constexpr std::uint32_t kNextCodeCap = GifLzwDecoder::kTableSize + 2;

[[noreturn]] void throwLzw(std::uint32_t step)
{
    ThrowAlb(Msg::InvalidFormat, Module::GifReader, kPlaceLzw, step);
}

} // namespace

void GifLzwDecoder::start(int minimum)
{
    minimumCodeSize = minimum;
    clearCode = 1u << minimum;
    endCode = clearCode + 1;
    std::fill(std::begin(prefix), std::end(prefix), static_cast<std::uint16_t>(kNone));
    std::fill(std::begin(length), std::end(length), std::uint16_t{ 0 });
    std::fill(length, length + clearCode, std::uint16_t{ 1 });
    highestDefined = 0;
    oldCode = kNone;
    oldFirst = 0;
    depth = 0;
    ended = false;
    reader = CodeReader{};
    resetCodes(reader);
}

void GifLzwDecoder::resetCodes(CodeReader &r) const
{
    r.nextCode = clearCode + 2;
    r.codeSize = minimumCodeSize + 1;
    r.codeLimit = 1u << r.codeSize;
}

void GifLzwDecoder::clearTable()
{
    // Only entries above the end code are ever defined, and only up to highestDefined since the
    // last clear; undoing just those keeps a stream full of clear codes cheap.
    if (highestDefined >= clearCode + 2)
        std::fill(prefix + clearCode + 2, prefix + highestDefined + 1,
                  static_cast<std::uint16_t>(kNone));
    highestDefined = 0;
    oldCode = kNone;
}

GifLzwDecoder::SubBlock GifLzwDecoder::nextSubBlock(ImageStream &stream)
{
    if (ended)
        return { nullptr, 0 };
    const std::uint8_t size = stream.readByte();
    if (size == 0) {
        // The image's data ends here. Reading on would take the blocks that follow (the next
        // frame, the trailer) for pixel data.
        ended = true;
        return { nullptr, 0 };
    }
    return { stream.read(size), size };
}

// Takes the next code into code; false once the image's sub-blocks are exhausted.
inline bool GifLzwDecoder::readCode(ImageStream &stream, CodeReader &r, std::uint32_t &code)
{
    while (r.bitCount < r.codeSize) {
        if (r.blockLeft == 0) {
            const SubBlock next = nextSubBlock(stream);
            if (next.size == 0)
                return false;
            r.block = next.data;
            r.blockLeft = next.size;
        }
        r.accumulator |= static_cast<std::uint32_t>(*r.block++) << r.bitCount;
        --r.blockLeft;
        r.bitCount += 8;
    }
    code = r.accumulator & (r.codeLimit - 1);
    r.accumulator >>= r.codeSize;
    r.bitCount -= r.codeSize;
    if (r.nextCode < kNextCodeCap)
        ++r.nextCode;
    if (r.nextCode > r.codeLimit && r.codeSize < kMaxCodeSize) {
        r.codeLimit <<= 1;
        ++r.codeSize;
    }
    return true;
}

// Writes the n pixels of the string that ends with code to out[0] .. out[n - 1]. The chain is
// followed for exactly n - 1 steps, so the writes stay inside out whatever the tables hold.
inline void GifLzwDecoder::writeString(std::uint32_t code, std::uint32_t n, std::uint8_t *out) const
{
    for (std::uint32_t i = n - 1; i > 0; --i) {
        out[i] = suffix[code];
        code = prefix[code];
    }
    out[0] = static_cast<std::uint8_t>(code);
}

// Emits the string of a table code: straight into the row when it fits, else through the pixel
// stack, whose rest the next row takes first.
GifLzwDecoder::Emitted GifLzwDecoder::expand(std::uint32_t code, std::uint32_t nextCode,
                                             std::uint8_t *out, std::uint8_t *end)
{
    // Only the entry being defined by this very code may be used before it exists: its string
    // is the old string followed by the old string's first pixel.
    const bool pending = prefix[code] == kNone;
    if (pending && (code != nextCode - 2 || oldCode == kNone))
        throwLzw(kStepUndefinedCode);
    const std::uint32_t chainCode = pending ? oldCode : code;
    const std::uint32_t chainLength = length[chainCode];
    if (chainLength == 0 || chainLength - 1 >= kMaxWalk)
        throwLzw(kStepBadChain);
    const std::uint32_t n = chainLength + (pending ? 1 : 0);
    if (n <= static_cast<std::uint32_t>(end - out)) {
        writeString(chainCode, chainLength, out);
        if (pending)
            out[chainLength] = oldFirst;
        return { out + n, out[0] };
    }
    // The stack holds the string last pixel first, so popping it gives the pixels in order.
    const std::uint32_t below = pending ? 1 : 0;
    writeString(chainCode, chainLength, stack + below);
    std::reverse(stack + below, stack + n);
    if (pending)
        stack[0] = oldFirst;
    depth = n;
    const std::uint8_t first = stack[n - 1];
    while (depth > 0 && out < end)
        *out++ = stack[--depth];
    return { out, first };
}

// Adds the entry that the code just read completes: the old string plus the first pixel of the
// new one. Once all 4,096 entries exist nothing more is defined until a clear code.
inline void GifLzwDecoder::define(std::uint32_t entry, std::uint8_t first)
{
    if (entry >= kTableSize)
        return;
    prefix[entry] = static_cast<std::uint16_t>(oldCode);
    suffix[entry] = first;
    length[entry] = static_cast<std::uint16_t>(length[oldCode] + 1);
    highestDefined = entry;
}

void GifLzwDecoder::decodeRow(ImageStream &stream, std::uint8_t *row, std::int32_t n)
{
    std::uint8_t *out = row;
    std::uint8_t *const end = row + n;
    while (depth > 0 && out < end)
        *out++ = stack[--depth];
    CodeReader r = reader;
    std::uint32_t code = 0;
    while (out < end) {
        if (!readCode(stream, r, code) || code == endCode)
            break;
        std::uint8_t first;
        if (code < clearCode) {
            first = static_cast<std::uint8_t>(code);
            *out++ = first;
        } else if (code == clearCode) {
            clearTable();
            resetCodes(r);
            continue;
        } else {
            const Emitted emitted = expand(code, r.nextCode, out, end);
            out = emitted.out;
            first = emitted.first;
        }
        if (oldCode != kNone)
            define(r.nextCode - 2, first);
        oldCode = code;
        oldFirst = first;
    }
    reader = r;
}
