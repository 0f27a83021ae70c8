#include "platform/x_selection_server.h"

#include "platform/x_connection.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

// Well below every server's request limit; clients read larger data in INCR steps anyway.
constexpr std::size_t kDefaultChunk = 256 * 1024;
constexpr char kWindowName[] = "vistrel-cli clipboard";

} // namespace

struct XSelectionServer::Request
{
    xcb_window_t requestor = 0;
    xcb_atom_t selection = 0;
    xcb_atom_t target = 0;
    xcb_atom_t property = 0;
    xcb_timestamp_t time = 0;
};

XSelectionServer::XSelectionServer(const std::string &displayName, std::string mimeType,
                                   std::vector<std::uint8_t> data)
    : x(std::make_unique<XConnection>(displayName)),
      type(std::move(mimeType)),
      bytes(std::move(data)),
      chunkSize(kDefaultChunk)
{ }

XSelectionServer::~XSelectionServer() = default;

std::uint32_t XSelectionServer::atom(const char *name) const
{
    xcb_connection_t *c = x->get();
    XcbReply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
            c, xcb_intern_atom(c, 0, static_cast<std::uint16_t>(std::strlen(name)), name),
            nullptr));
    return reply ? reply->atom : xcb_atom_t{ XCB_ATOM_NONE };
}

bool XSelectionServer::own()
{
    if (!x->usable())
        return false;
    xcb_connection_t *c = x->get();
    clipboardAtom = atom("CLIPBOARD");
    typeAtom = atom(type.c_str());
    targetsAtom = atom("TARGETS");
    timestampAtom = atom("TIMESTAMP");
    incrAtom = atom("INCR");
    window = xcb_generate_id(c);
    const std::uint32_t values[] = { 1, XCB_EVENT_MASK_PROPERTY_CHANGE };
    xcb_create_window(c, XCB_COPY_FROM_PARENT, window, x->screen()->root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT,
                      XCB_CW_OVERRIDE_REDIRECT | XCB_CW_EVENT_MASK, values);
    // Owning a selection wants the server's time, not CurrentTime: naming our window is a
    // property change, whose notice carries that time.
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8,
                        sizeof kWindowName - 1, kWindowName);
    xcb_flush(c);
    while (XcbReply<xcb_generic_event_t> event{ xcb_wait_for_event(c) }) {
        if ((event->response_type & 0x7f) == XCB_PROPERTY_NOTIFY) {
            ownedSince = reinterpret_cast<xcb_property_notify_event_t *>(event.get())->time;
            break;
        }
    }
    if (ownedSince == 0)
        return false;
    xcb_set_selection_owner(c, window, clipboardAtom, ownedSince);
    XcbReply<xcb_get_selection_owner_reply_t> owner(
            xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, clipboardAtom), nullptr));
    return owner && owner->owner == window;
}

void XSelectionServer::serve()
{
    xcb_connection_t *c = x->get();
    while (XcbReply<xcb_generic_event_t> event{ xcb_wait_for_event(c) }) {
        if (!handleEvent(event.get()))
            return;
    }
}

// False once the selection is lost.
bool XSelectionServer::handleEvent(const void *raw)
{
    const auto *event = static_cast<const xcb_generic_event_t *>(raw);
    switch (event->response_type & 0x7f) {
    case XCB_SELECTION_CLEAR:
        return static_cast<const xcb_selection_clear_event_t *>(raw)->selection != clipboardAtom;
    case XCB_SELECTION_REQUEST: {
        const auto *asked = static_cast<const xcb_selection_request_event_t *>(raw);
        // Clients older than the conventions name no property: the target is used instead.
        const Request request{ asked->requestor, asked->selection, asked->target,
                               asked->property != XCB_ATOM_NONE ? asked->property : asked->target,
                               asked->time };
        answer(request);
        return true;
    }
    case XCB_PROPERTY_NOTIFY: {
        const auto *change = static_cast<const xcb_property_notify_event_t *>(raw);
        // The requestor deleted what it read: the next step of its transfer.
        if (change->state == XCB_PROPERTY_DELETE
            && transfers.count({ change->window, change->atom }) != 0)
            sendChunk({ change->window, change->atom });
        return true;
    }
    default:
        return true;
    }
}

void XSelectionServer::answer(const Request &request)
{
    xcb_connection_t *c = x->get();
    // A request made before we owned the selection is for the owner before us.
    const bool stale = request.time != XCB_CURRENT_TIME && request.time < ownedSince;
    if (request.selection != clipboardAtom || stale) {
        refuse(request);
        return;
    }
    if (request.target == targetsAtom) {
        const std::array<xcb_atom_t, 3> offered = { targetsAtom, timestampAtom, typeAtom };
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, request.requestor, request.property,
                            XCB_ATOM_ATOM, 32, offered.size(), offered.data());
    } else if (request.target == timestampAtom) {
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, request.requestor, request.property,
                            XCB_ATOM_INTEGER, 32, 1, &ownedSince);
    } else if (request.target == typeAtom) {
        sendData(request);
    } else {
        refuse(request);
        return;
    }
    notify(request, request.property);
}

void XSelectionServer::refuse(const Request &request)
{
    notify(request, XCB_ATOM_NONE);
}

void XSelectionServer::notify(const Request &request, std::uint32_t property)
{
    xcb_selection_notify_event_t event{};
    event.response_type = XCB_SELECTION_NOTIFY;
    event.time = request.time;
    event.requestor = request.requestor;
    event.selection = request.selection;
    event.target = request.target;
    event.property = property;
    xcb_send_event(x->get(), 0, request.requestor, XCB_EVENT_MASK_NO_EVENT,
                   reinterpret_cast<const char *>(&event));
    xcb_flush(x->get());
}

void XSelectionServer::sendData(const Request &request)
{
    xcb_connection_t *c = x->get();
    if (bytes.size() <= chunkSize) {
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, request.requestor, request.property, typeAtom,
                            8, static_cast<std::uint32_t>(bytes.size()), bytes.data());
        return;
    }
    // INCR: the property first holds the size; each time the requestor deletes it, the next
    // piece follows, and an empty piece ends the transfer. Property changes of the requestor's
    // window tell us when it has read a piece.
    const std::uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_change_window_attributes(c, request.requestor, XCB_CW_EVENT_MASK, &mask);
    const auto size = static_cast<std::uint32_t>(bytes.size());
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, request.requestor, request.property, incrAtom, 32,
                        1, &size);
    transfers[{ request.requestor, request.property }] = 0;
}

void XSelectionServer::sendChunk(TransferKey key)
{
    xcb_connection_t *c = x->get();
    std::size_t &sent = transfers[key];
    const std::size_t piece = std::min(chunkSize, bytes.size() - sent);
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, key.first, key.second, typeAtom, 8,
                        static_cast<std::uint32_t>(piece), bytes.data() + sent);
    sent += piece;
    if (piece == 0) {
        transfers.erase(key);
        const bool more = std::any_of(transfers.begin(), transfers.end(),
                                      [&key](const auto &t) { return t.first.first == key.first; });
        if (!more) {
            const std::uint32_t none = XCB_EVENT_MASK_NO_EVENT;
            xcb_change_window_attributes(c, key.first, XCB_CW_EVENT_MASK, &none);
        }
    }
    xcb_flush(c);
}

bool ServeClipboardInBackground(const std::string &displayName, const std::string &mimeType,
                                std::vector<std::uint8_t> data, std::string &error)
{
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0) {
        error = std::string("cannot make a pipe: ") + std::strerror(errno);
        return false;
    }
    const pid_t child = ::fork();
    if (child < 0) {
        error = std::string("cannot start the clipboard's process: ") + std::strerror(errno);
        ::close(ends[0]);
        ::close(ends[1]);
        return false;
    }
    if (child == 0) {
        // The caller has no other threads, so the child may allocate and talk to the server.
        ::close(ends[0]);
        ::setsid();
        const int null = ::open("/dev/null", O_RDWR);
        for (int fd : { STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO })
            ::dup2(null, fd);
        XSelectionServer server(displayName, mimeType, std::move(data));
        const char owned = server.own() ? 1 : 0;
        while (::write(ends[1], &owned, 1) < 0 && errno == EINTR) { }
        ::close(ends[1]);
        if (owned)
            server.serve();
        ::_exit(owned ? 0 : 1);
    }
    ::close(ends[1]);
    char owned = 0;
    ssize_t got = 0;
    while ((got = ::read(ends[0], &owned, 1)) < 0 && errno == EINTR) { }
    ::close(ends[0]);
    if (got == 1 && owned)
        return true;
    error = "the X server did not hand over the clipboard";
    return false;
}
