#include "platform/shared_image_segment.h"

#include "platform/x_connection.h"

#include <sys/ipc.h>
#include <sys/shm.h>

bool SharedImageSegment::Offered(xcb_connection_t *connection)
{
    const xcb_query_extension_reply_t *extension = xcb_get_extension_data(connection, &xcb_shm_id);
    if (!extension || !extension->present)
        return false;
    XcbReply<xcb_shm_query_version_reply_t> version(
            xcb_shm_query_version_reply(connection, xcb_shm_query_version(connection), nullptr));
    return version != nullptr;
}

std::unique_ptr<SharedImageSegment> SharedImageSegment::Attach(xcb_connection_t *connection,
                                                               std::size_t bytes)
{
    if (bytes == 0)
        return nullptr;
    const int shmId = ::shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
    if (shmId < 0)
        return nullptr;
    void *address = ::shmat(shmId, nullptr, 0);
    if (address == reinterpret_cast<void *>(-1)) {
        ::shmctl(shmId, IPC_RMID, nullptr);
        return nullptr;
    }
    const xcb_shm_seg_t segment = xcb_generate_id(connection);
    XcbReply<xcb_generic_error_t> error(xcb_request_check(
            connection,
            xcb_shm_attach_checked(connection, segment, static_cast<std::uint32_t>(shmId), 0)));
    // Once the server has attached (or refused), the id is no longer needed: marking it removed
    // now frees the memory when the last side detaches, even after a crash.
    ::shmctl(shmId, IPC_RMID, nullptr);
    if (error || xcb_connection_has_error(connection)) {
        ::shmdt(address);
        return nullptr;
    }
    return std::unique_ptr<SharedImageSegment>(new SharedImageSegment(
            connection, static_cast<std::uint8_t *>(address), bytes, segment));
}

SharedImageSegment::SharedImageSegment(xcb_connection_t *owner, std::uint8_t *mapped,
                                       std::size_t size, xcb_shm_seg_t serverId)
    : connection(owner), address(mapped), bytes(size), segment(serverId)
{ }

SharedImageSegment::~SharedImageSegment()
{
    if (!xcb_connection_has_error(connection)) {
        xcb_shm_detach(connection, segment);
        xcb_flush(connection);
    }
    ::shmdt(address);
}
