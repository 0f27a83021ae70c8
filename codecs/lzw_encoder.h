#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

// The variable-width LZW compressor of GIF image data. Strings are found in an open-addressing
// hash table of 8,192 slots that is allocated once and reused for every image; codes grow from
// initial bits + 1 up to 12 bits, and instead of assigning code 4095 the table starts over with a
// clear code. Codes are packed least significant bit first into data sub-blocks of at most 255
// bytes, which collect in output() for the caller to write out.
class LzwEncoder
{
public:
    LzwEncoder();
    ~LzwEncoder();
    LzwEncoder(const LzwEncoder &) = delete;
    LzwEncoder &operator=(const LzwEncoder &) = delete;

    // Allocates the hash table when there is none yet; throws std::bad_alloc.
    void allocateTable();

    // Starts an image's data with pixels of initialBits bits (2 to 8): resets the codes and the
    // table and emits the clear code. The table must be allocated.
    void start(int initialBits);

    // Compresses n pixels; each value is masked to the initial bits.
    void encode(const std::uint8_t *pixels, std::size_t n);

    // Emits the pending string and the end code, and closes the sub-blocks with the terminator.
    void finish();

    // Completed bytes not yet taken by the caller.
    std::vector<std::uint8_t> &output() { return pending; }

private:
    static constexpr std::uint32_t kNoPrefix = 4097;

    void resetCodes();
    void emit(std::uint32_t code);
    void putByte(std::uint8_t byte);
    void flush();

    std::unique_ptr<std::uint32_t[]> table;
    int initialBits = 0;
    std::uint32_t clearCode = 0;
    std::uint32_t endCode = 0;
    std::uint32_t nextCode = 0;
    int codeSize = 0;
    std::uint32_t codeLimit = 0;
    std::uint32_t prefix = kNoPrefix;
    std::uint32_t accumulator = 0;
    int bitCount = 0;
    std::uint8_t mask = 0;
    // Byte 0 counts the data bytes that follow it.
    std::uint8_t subBlock[256] = {};
    std::vector<std::uint8_t> pending;
};
