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

std::size_t Utf8SequenceLength(std::string_view text, std::size_t i)
{
    const auto lead = static_cast<unsigned char>(text[i]);
    if (lead < 0x80)
        return 1;
    const std::size_t length = lead >= 0xf0 ? 4 : lead >= 0xe0 ? 3 : lead >= 0xc2 ? 2 : 0;
    if (length == 0 || lead > 0xf4 || i + length > text.size())
        return 0;
    for (std::size_t k = 1; k < length; ++k) {
        if (!isContinuation(static_cast<unsigned char>(text[i + k])))
            return 0;
    }
    const auto second = static_cast<unsigned char>(text[i + 1]);
    // Overlong three- and four-byte forms, UTF-16 surrogates, and code points above U+10FFFF.
    if ((lead == 0xe0 && second < 0xa0) || (lead == 0xed && second >= 0xa0)
        || (lead == 0xf0 && second < 0x90) || (lead == 0xf4 && second >= 0x90))
        return 0;
    return length;
}

std::string Utf8Repaired(std::string_view text)
{
    std::string repaired;
    repaired.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = Utf8SequenceLength(text, i);
        if (length == 0) {
            repaired += "\xef\xbf\xbd"; // U+FFFD REPLACEMENT CHARACTER
            ++i;
            continue;
        }
        repaired.append(text.substr(i, length));
        i += length;
    }
    return repaired;
}
