#pragma once

#include <cstdint>
#include <string>

// A readable run of bytes that the decoders address in place. Reading or seeking outside it
// throws 46023, so a decoder never touches memory beyond the stream.
class ImageStream
{
public:
    virtual ~ImageStream() = default;

    // Sets the size and rewinds.
    virtual void setSize(std::int64_t n);
    virtual void close();
    virtual std::string name() const { return {}; }

    // The current address; length is lowered to what remains when it asks for more. Does not move.
    const std::uint8_t *peek(std::int64_t &length) const;
    // The address of the next unread byte.
    const std::uint8_t *data() const { return base + position_; }
    // Returns the address of the next n bytes and moves past them; throws 46023 past the end.
    const std::uint8_t *read(std::int64_t n);
    std::int64_t position() const { return position_; }
    std::int64_t size() const { return size_; }
    std::int64_t remaining() const { return size_ - position_; }

    enum Origin { Begin = 0, Current = 1, End = 2 };
    void seek(std::int64_t offset, int origin);
    void seekToEnd() { seek(0, End); }
    void rewind() { seek(0, Begin); }

    // Little-endian reading shortcuts.
    std::uint8_t readByte() { return *read(1); }
    std::uint16_t readWord();
    std::uint32_t readDword();
    void skip(std::int64_t n);

protected:
    // Points the stream at memory that stays valid until close.
    void attach(const std::uint8_t *memory, std::int64_t length);

private:
    const std::uint8_t *base = nullptr;
    std::int64_t size_ = 0;
    std::int64_t position_ = 0;
};

// A stream over memory the caller keeps alive (tests, fuzzers, pictures already in memory).
class MemoryImageStream : public ImageStream
{
public:
    MemoryImageStream(const std::uint8_t *memory, std::int64_t length, std::string name = {});
    std::string name() const override { return streamName; }

private:
    std::string streamName;
};
