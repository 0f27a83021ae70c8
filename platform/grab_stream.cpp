#include "platform/grab_stream.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace {

constexpr char kTag[4] = { 'V', 'G', 'R', '1' };

struct StreamHeader
{
    char tag[4];
    std::uint32_t outcome;
    std::int32_t w;
    std::int32_t h;
};

static_assert(sizeof(StreamHeader) == 16);

bool readAll(int fd, void *data, std::size_t size)
{
    auto *bytes = static_cast<std::uint8_t *>(data);
    while (size > 0) {
        const ssize_t got = ::read(fd, bytes, size);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        bytes += got;
        size -= static_cast<std::size_t>(got);
    }
    return true;
}

} // namespace

bool WriteAll(int fd, const void *data, std::size_t size)
{
    const auto *bytes = static_cast<const std::uint8_t *>(data);
    while (size > 0) {
        const ssize_t done = ::write(fd, bytes, size);
        if (done < 0 && errno == EINTR)
            continue;
        if (done <= 0)
            return false;
        bytes += done;
        size -= static_cast<std::size_t>(done);
    }
    return true;
}

bool WriteGrabStream(int fd, const GrabResult &result)
{
    StreamHeader header{};
    std::memcpy(header.tag, kTag, sizeof kTag);
    const auto *grab = std::get_if<CaptureGrab>(&result);
    if (!grab) {
        header.outcome = static_cast<std::uint32_t>(std::get<GrabFailure>(result)) + 1;
        return WriteAll(fd, &header, sizeof header);
    }
    header.w = grab->w;
    header.h = grab->h;
    if (!WriteAll(fd, &header, sizeof header))
        return false;
    const auto rowBytes = static_cast<std::size_t>(grab->w) * 3;
    // Rows without their padding, so the reader is free to lay out its store as it likes.
    for (std::int32_t y = 0; y < grab->h; ++y)
        if (!WriteAll(fd, grab->row(y), rowBytes))
            return false;
    return true;
}

GrabResult ReadGrabStream(int fd)
{
    StreamHeader header{};
    if (!readAll(fd, &header, sizeof header) || std::memcmp(header.tag, kTag, sizeof kTag) != 0)
        return GrabFailure::CopyFailed;
    if (header.outcome != 0) {
        const std::uint32_t failure = header.outcome - 1;
        if (failure > static_cast<std::uint32_t>(GrabFailure::NoArea))
            return GrabFailure::CopyFailed;
        return static_cast<GrabFailure>(failure);
    }
    // The grab's store checks the size product against its byte limit.
    if (header.w <= 0 || header.h <= 0)
        return GrabFailure::CopyFailed;
    std::optional<CaptureGrab> grab = CaptureGrab::Make(header.w, header.h);
    if (!grab)
        return GrabFailure::NoStore;
    const auto rowBytes = static_cast<std::size_t>(grab->w) * 3;
    for (std::int32_t y = 0; y < grab->h; ++y)
        if (!readAll(fd, grab->row(y), rowBytes))
            return GrabFailure::CopyFailed;
    return std::move(*grab);
}
