#include "codecs/lzw_encoder.h"

#include <algorithm>

namespace {

constexpr std::size_t kTableSlots = 8192;
constexpr std::uint32_t kSlotMask = kTableSlots - 1;
// A slot holds key << 12 | code; keys are at most 20 bits (12-bit prefix, 8-bit pixel), so no
// entry reaches this value and every value from it up marks a free slot.
constexpr std::uint32_t kFreeFrom = 0xFFFFF000;
constexpr std::uint32_t kEmptySlot = 0xFFFFFFFF;
// The largest code a 12-bit stream may assign is 4095; the table is cleared instead, so codes
// stop at 4094 and a decoder never has to define the last one.
constexpr std::uint32_t kClearAt = 4095;

} // namespace

LzwEncoder::LzwEncoder() = default;
LzwEncoder::~LzwEncoder() = default;

void LzwEncoder::allocateTable()
{
    if (!table)
        table.reset(new std::uint32_t[kTableSlots]);
}

void LzwEncoder::start(int bits)
{
    initialBits = bits;
    mask = static_cast<std::uint8_t>((1u << bits) - 1);
    clearCode = 1u << bits;
    endCode = clearCode + 1;
    subBlock[0] = 0;
    accumulator = 0;
    bitCount = 0;
    prefix = kNoPrefix;
    resetCodes();
    emit(clearCode);
}

void LzwEncoder::resetCodes()
{
    nextCode = clearCode + 2;
    codeSize = initialBits + 1;
    codeLimit = 1u << codeSize;
    std::fill_n(table.get(), kTableSlots, kEmptySlot);
}

void LzwEncoder::encode(const std::uint8_t *pixels, std::size_t n)
{
    std::size_t i = 0;
    if (prefix == kNoPrefix) {
        if (n == 0)
            return;
        prefix = pixels[i++] & mask;
    }
    std::uint32_t *slots = table.get();
    for (; i < n; ++i) {
        const std::uint32_t c = pixels[i] & mask;
        const std::uint32_t key = (prefix << 8) | c;
        std::uint32_t slot = ((key >> 12) ^ key) & kSlotMask;
        while (slots[slot] < kFreeFrom && (slots[slot] >> 12) != key)
            slot = (slot + 1) & kSlotMask;
        if (slots[slot] < kFreeFrom) {
            prefix = slots[slot] & 0xFFF;
            continue;
        }
        emit(prefix);
        if (nextCode < kClearAt) {
            slots[slot] = (key << 12) | nextCode;
            ++nextCode;
        } else {
            emit(clearCode);
            resetCodes();
        }
        prefix = c;
    }
}

void LzwEncoder::finish()
{
    if (prefix != kNoPrefix)
        emit(prefix);
    prefix = kNoPrefix;
    emit(endCode);
    flush();
}

// The decoder widens its codes once its table reaches the limit; checking after every code keeps
// the encoder in step with it.
void LzwEncoder::emit(std::uint32_t code)
{
    accumulator |= code << bitCount;
    bitCount += codeSize;
    while (bitCount > 7) {
        putByte(static_cast<std::uint8_t>(accumulator));
        accumulator >>= 8;
        bitCount -= 8;
    }
    if (nextCode >= codeLimit) {
        ++codeSize;
        codeLimit = 1u << codeSize;
    }
}

// A full sub-block is written only when one more byte arrives, so the last block is always
// written by flush, followed by the terminator.
void LzwEncoder::putByte(std::uint8_t byte)
{
    if (subBlock[0] == 255) {
        pending.insert(pending.end(), subBlock, subBlock + 256);
        subBlock[0] = 0;
    }
    subBlock[++subBlock[0]] = byte;
}

void LzwEncoder::flush()
{
    while (bitCount > 0) {
        putByte(static_cast<std::uint8_t>(accumulator));
        accumulator >>= 8;
        bitCount -= 8;
    }
    bitCount = 0;
    accumulator = 0;
    if (subBlock[0] > 0)
        pending.insert(pending.end(), subBlock, subBlock + 1 + subBlock[0]);
    subBlock[0] = 0;
    pending.push_back(0);
}
