#include "codecs/png_text.h"

std::optional<std::string> FindPngText(const PngText &text, std::string_view key)
{
    for (const PngTextEntry &entry : text) {
        if (entry.key == key)
            return entry.text;
    }
    return std::nullopt;
}
