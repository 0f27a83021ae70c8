#include "common/utf8.h"

namespace {

// True for the bytes that continue a multi-byte sequence (10xxxxxx).
bool isContinuation(unsigned char byte)
{
    return (byte & 0xC0) == 0x80;
}

// Byte offset of the character with the given index, or text.size() when there are fewer.
std::size_t offsetOfCharacter(std::string_view text, std::size_t index)
{
    std::size_t offset = 0;
    for (std::size_t seen = 0; offset < text.size(); ++offset) {
        if (isContinuation(static_cast<unsigned char>(text[offset])))
            continue;
        if (seen++ == index)
            return offset;
    }
    return text.size();
}

} // namespace

std::size_t Utf8Length(std::string_view text)
{
    std::size_t count = 0;
    for (char c : text)
        count += isContinuation(static_cast<unsigned char>(c)) ? 0 : 1;
    return count;
}

std::string Utf8Prefix(std::string_view text, std::size_t count)
{
    return std::string(text.substr(0, offsetOfCharacter(text, count)));
}

std::string Utf8Suffix(std::string_view text, std::size_t count)
{
    std::size_t length = Utf8Length(text);
    if (count >= length)
        return std::string(text);
    return std::string(text.substr(offsetOfCharacter(text, length - count)));
}
