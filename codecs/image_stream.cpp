#include "codecs/image_stream.h"

#include "common/alb_exception.h"
#include "common/string_ids.h"

void ImageStream::setSize(std::int64_t n)
{
    size_ = n < 0 ? 0 : n;
    position_ = 0;
}

void ImageStream::close()
{
    base = nullptr;
    size_ = 0;
    position_ = 0;
}

void ImageStream::attach(const std::uint8_t *memory, std::int64_t length)
{
    base = memory;
    setSize(memory ? length : 0);
}

const std::uint8_t *ImageStream::peek(std::int64_t &length) const
{
    if (length > remaining())
        length = remaining();
    if (length < 0)
        length = 0;
    return data();
}

const std::uint8_t *ImageStream::read(std::int64_t n)
{
    // Both limits are checked before moving, so a failed read leaves the position alone and a
    // negative count cannot step backwards.
    if (n < 0 || n > remaining())
        ThrowAlb(Msg::PastFileEnd);
    const std::uint8_t *at = data();
    position_ += n;
    return at;
}

void ImageStream::seek(std::int64_t offset, int origin)
{
    std::int64_t from = origin == End ? size_ : origin == Current ? position_ : 0;
    // Offsets come from file headers: refuse targets outside the stream without overflowing.
    if (offset > size_ - from || offset < -from)
        ThrowAlb(Msg::PastFileEnd);
    position_ = from + offset;
}

std::uint16_t ImageStream::readWord()
{
    const std::uint8_t *p = read(2);
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

std::uint32_t ImageStream::readDword()
{
    const std::uint8_t *p = read(4);
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8)
            | (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

void ImageStream::skip(std::int64_t n)
{
    if (n != 0)
        read(n);
}

MemoryImageStream::MemoryImageStream(const std::uint8_t *memory, std::int64_t length,
                                     std::string name)
    : streamName(std::move(name))
{
    attach(memory, length);
}
