#include "common/md5.h"

#include <bit>
#include <cstring>

namespace {

// The sines of 1 to 64 (radians) in 32-bit fixed point, and each step's left rotation.
constexpr std::uint32_t kSines[64] = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
    0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
    0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
    0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
    0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
    0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
    0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391,
};
constexpr int kShifts[4][4] = {
    { 7, 12, 17, 22 }, { 5, 9, 14, 20 }, { 4, 11, 16, 23 }, { 6, 10, 15, 21 }
};

std::uint32_t readLittle32(const std::uint8_t *p)
{
    return std::uint32_t{ p[0] } | std::uint32_t{ p[1] } << 8 | std::uint32_t{ p[2] } << 16
            | std::uint32_t{ p[3] } << 24;
}

void writeLittle32(std::uint32_t value, std::uint8_t *p)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

// One 64-byte block folded into the state: four rounds of sixteen steps, each round with its own
// mixing function and its own order of the block's words.
void foldBlock(std::uint32_t state[4], const std::uint8_t *block)
{
    std::uint32_t words[16];
    for (int i = 0; i < 16; ++i)
        words[i] = readLittle32(block + 4 * i);
    std::uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
    for (int i = 0; i < 64; ++i) {
        std::uint32_t mixed;
        int word;
        switch (i / 16) {
        case 0:
            mixed = (b & c) | (~b & d);
            word = i;
            break;
        case 1:
            mixed = (d & b) | (~d & c);
            word = (5 * i + 1) % 16;
            break;
        case 2:
            mixed = b ^ c ^ d;
            word = (3 * i + 5) % 16;
            break;
        default:
            mixed = c ^ (b | ~d);
            word = (7 * i) % 16;
            break;
        }
        const std::uint32_t rotated =
                std::rotl(a + mixed + kSines[i] + words[word], kShifts[i / 16][i % 4]);
        a = d;
        d = c;
        c = b;
        b += rotated;
    }
    state[0] += a;
    state[1] += b;
    state[2] += c;
    state[3] += d;
}

} // namespace

std::array<std::uint8_t, 16> Md5(std::string_view bytes)
{
    std::uint32_t state[4] = { 0x67452301, 0xefcdab89, 0x98badcfe, 0x10325476 };
    const auto *data = reinterpret_cast<const std::uint8_t *>(bytes.data());
    std::size_t whole = bytes.size() / 64 * 64;
    for (std::size_t at = 0; at < whole; at += 64)
        foldBlock(state, data + at);
    // The tail, a 1 bit, zeros up to 8 bytes short of a block's end, then the length in bits.
    std::uint8_t tail[128] = {};
    const std::size_t rest = bytes.size() - whole;
    if (rest > 0)
        std::memcpy(tail, data + whole, rest);
    tail[rest] = 0x80;
    const std::size_t tailSize = rest < 56 ? 64 : 128;
    const std::uint64_t bits = static_cast<std::uint64_t>(bytes.size()) * 8;
    writeLittle32(static_cast<std::uint32_t>(bits), tail + tailSize - 8);
    writeLittle32(static_cast<std::uint32_t>(bits >> 32), tail + tailSize - 4);
    for (std::size_t at = 0; at < tailSize; at += 64)
        foldBlock(state, tail + at);
    std::array<std::uint8_t, 16> digest{};
    for (int i = 0; i < 4; ++i)
        writeLittle32(state[i], digest.data() + 4 * i);
    return digest;
}

std::string Md5Hex(std::string_view bytes)
{
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    for (std::uint8_t byte : Md5(bytes)) {
        text += kDigits[byte >> 4];
        text += kDigits[byte & 15];
    }
    return text;
}
