#include "app/order_file.h"

#include "common/host_path.h"
#include "common/path_names.h"
#include "common/safe_file.h"

#include <climits>
#include <cstdint>
#include <unistd.h>

namespace {

constexpr char32_t kReplacement = 0xFFFD;

void putUint32(std::vector<unsigned char> &out, std::uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<unsigned char>(value >> shift));
}

// Decodes one UTF-8 sequence at text[at], advancing at; a broken sequence gives U+FFFD and
// advances one byte, so no input can stall the loop.
char32_t nextCodePoint(const std::string &text, std::size_t &at)
{
    auto byte = [&](std::size_t i) {
        return static_cast<unsigned char>(text[i]);
    };
    unsigned char lead = byte(at);
    int extra = lead < 0x80     ? 0
            : (lead >> 5) == 6  ? 1
            : (lead >> 4) == 14 ? 2
            : (lead >> 3) == 30 ? 3
                                : -1;
    if (extra == 0) {
        ++at;
        return lead;
    }
    if (extra < 0 || at + extra >= text.size()) {
        ++at;
        return kReplacement;
    }
    char32_t value = lead & (0x3F >> extra);
    for (int i = 1; i <= extra; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80) {
            ++at;
            return kReplacement;
        }
        value = (value << 6) | (byte(at + i) & 0x3F);
    }
    at += extra + 1;
    return value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF) ? kReplacement : value;
}

std::u16string toUtf16(const std::string &text)
{
    std::u16string out;
    for (std::size_t at = 0; at < text.size();) {
        char32_t c = nextCodePoint(text, at);
        if (c >= 0x10000) {
            c -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (c >> 10));
            out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
        } else {
            out += static_cast<char16_t>(c);
        }
    }
    return out;
}

} // namespace

std::string OrderFileName()
{
    char path[PATH_MAX];
    ssize_t length = ::readlink("/proc/self/exe", path, sizeof path - 1);
    std::string program =
            length > 0 ? std::string(path, static_cast<std::size_t>(length)) : "vistrel";
    std::string name = program.substr(program.find_last_of('/') + 1);
    std::size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0)
        name.erase(dot);
    return name + ".orna";
}

std::vector<unsigned char> OrderFileBytes(const std::vector<std::string> &names)
{
    std::vector<unsigned char> out;
    putUint32(out, static_cast<std::uint32_t>(names.size()));
    for (const std::string &name : names) {
        std::u16string wide = toUtf16(name);
        putUint32(out, static_cast<std::uint32_t>(wide.size()));
        for (char16_t unit : wide) {
            out.push_back(static_cast<unsigned char>(unit & 0xFF));
            out.push_back(static_cast<unsigned char>(unit >> 8));
        }
    }
    return out;
}

void WriteOrderFile(const std::string &folder, const std::vector<std::string> &names)
{
    std::string path = JoinPath(folder, OrderFileName());
    std::vector<unsigned char> bytes = OrderFileBytes(names);
    SafeFile file(HostPath(path), path);
    file.write(bytes.data(), bytes.size());
    file.commit();
}
