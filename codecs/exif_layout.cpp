#include "codecs/exif_layout.h"

#include <cstdint>
#include <cstring>
#include <fstream>

namespace {

constexpr int kMaxDepth = 4;
constexpr std::uint16_t kExifDirectory = 0x8769;
constexpr std::uint16_t kGpsDirectory = 0x8825;
constexpr std::uint16_t kInteropDirectory = 0xA005;

// Bytes per value of the TIFF field types 1 to 12; 0 for types this check does not know.
std::size_t typeSize(std::uint16_t type)
{
    static const std::size_t sizes[] = { 0, 1, 1, 2, 4, 8, 1, 1, 2, 4, 8, 4, 8 };
    return type < sizeof sizes / sizeof sizes[0] ? sizes[type] : 0;
}

class Layout
{
public:
    Layout(const unsigned char *tiff, std::size_t tiffSize, bool bigEndian)
        : data(tiff), size(tiffSize), big(bigEndian)
    {
    }

    bool fits(std::uint64_t offset, std::uint64_t length) const
    {
        return offset <= size && length <= size - offset;
    }

    std::uint32_t read(std::size_t offset, int bytes) const
    {
        std::uint32_t value = 0;
        for (int i = 0; i < bytes; ++i) {
            const std::uint32_t byte = data[offset + (big ? i : bytes - 1 - i)];
            value = (value << 8) | byte;
        }
        return value;
    }

    // One directory at offset and its sub-directories.
    bool directory(std::uint32_t offset, int depth) const
    {
        if (depth > kMaxDepth || !fits(offset, 2))
            return false;
        const std::uint32_t count = read(offset, 2);
        if (!fits(offset + 2, std::uint64_t{ count } * 12 + 4))
            return false;
        for (std::uint32_t i = 0; i < count; ++i) {
            const std::size_t entry = offset + 2 + std::size_t{ i } * 12;
            const std::uint16_t tag = static_cast<std::uint16_t>(read(entry, 2));
            const std::uint64_t bytes = std::uint64_t{ typeSize(read(entry + 2, 2)) } * read(entry + 4, 4);
            const std::uint32_t value = read(entry + 8, 4);
            if (bytes > 4 && !fits(value, bytes))
                return false;
            if ((tag == kExifDirectory || tag == kGpsDirectory || tag == kInteropDirectory)
                && !directory(value, depth + 1))
                return false;
        }
        return true;
    }

private:
    const unsigned char *data;
    std::size_t size;
    bool big;
};

} // namespace

bool ExifLayoutIntact(const unsigned char *data, std::size_t size)
{
    if (!data)
        return false;
    if (size >= 6 && std::memcmp(data, "Exif\0\0", 6) == 0) {
        data += 6;
        size -= 6;
    }
    if (size < 8)
        return false;
    const bool big = data[0] == 'M' && data[1] == 'M';
    if (!big && !(data[0] == 'I' && data[1] == 'I'))
        return false;
    const Layout layout(data, size, big);
    return layout.read(2, 2) == 42 && layout.directory(layout.read(4, 4), 0);
}

std::vector<unsigned char> ReadExifSegment(const std::string &hostPath)
{
    std::ifstream in(hostPath, std::ios::binary);
    unsigned char head[4];
    if (!in.read(reinterpret_cast<char *>(head), 2) || head[0] != 0xFF || head[1] != 0xD8)
        return {};
    // Segments up to the start of the image data; each is FF, its marker and a length that
    // counts its own two bytes.
    while (in.read(reinterpret_cast<char *>(head), 4) && head[0] == 0xFF) {
        const unsigned marker = head[1];
        const std::size_t length = (std::size_t{ head[2] } << 8) | head[3];
        if (marker == 0xDA || marker == 0xD9 || length < 2)
            return {};
        std::vector<unsigned char> contents(length - 2);
        in.read(reinterpret_cast<char *>(contents.data()), static_cast<std::streamsize>(contents.size()));
        contents.resize(static_cast<std::size_t>(in.gcount()));
        if (marker == 0xE1 && contents.size() >= 6 && std::memcmp(contents.data(), "Exif\0\0", 6) == 0)
            return contents;
        if (!in)
            return {};
    }
    return {};
}
