#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <xcb/shm.h>
#include <xcb/xcb.h>

// A System V shared-memory segment that the X server also has attached, so that it can write a
// screen image straight into our memory instead of sending it through the socket. The segment is
// marked for removal as soon as both sides hold it, so nothing is left behind if the program dies.
// The connection must outlive the segment.
class SharedImageSegment
{
public:
    // Whether the server offers the shared-memory extension at all.
    static bool Offered(xcb_connection_t *connection);

    // A segment of bytes bytes attached on both sides, or null when the system or the server
    // refuses (a remote server cannot see our memory).
    static std::unique_ptr<SharedImageSegment> Attach(xcb_connection_t *connection,
                                                      std::size_t bytes);

    ~SharedImageSegment();
    SharedImageSegment(const SharedImageSegment &) = delete;
    SharedImageSegment &operator=(const SharedImageSegment &) = delete;

    xcb_shm_seg_t id() const { return segment; }

    const std::uint8_t *data() const { return address; }

    std::size_t size() const { return bytes; }

private:
    SharedImageSegment(xcb_connection_t *owner, std::uint8_t *mapped, std::size_t size,
                       xcb_shm_seg_t serverId);

    xcb_connection_t *connection;
    std::uint8_t *address;
    std::size_t bytes;
    xcb_shm_seg_t segment;
};
