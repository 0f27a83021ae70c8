#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class XConnection;

// Owns the CLIPBOARD selection of an X server and hands one piece of data, of one MIME type, to
// every program that asks, the way X clients keep a clipboard: the data stays with its owner and
// is copied to a requestor on demand. Answers TARGETS (what it offers), TIMESTAMP and the type
// itself; data larger than the chunk size goes in INCR steps. Plain xcb, without Qt: the
// command-line capture uses it.
class XSelectionServer
{
public:
    // displayName empty means $DISPLAY.
    XSelectionServer(const std::string &displayName, std::string mimeType,
                     std::vector<std::uint8_t> data);
    ~XSelectionServer();
    XSelectionServer(const XSelectionServer &) = delete;
    XSelectionServer &operator=(const XSelectionServer &) = delete;

    // Takes the selection. False without a server, or when the server did not make us its owner.
    bool own();
    // Answers requests until another program takes the selection (or the server goes away).
    void serve();

    // Data larger than this is sent in INCR steps of this size (tests make it small).
    void setChunkSize(std::size_t size) { chunkSize = size; }

private:
    struct Request;
    // An INCR transfer under way, by requestor window and property.
    using TransferKey = std::pair<std::uint32_t, std::uint32_t>;

    void answer(const Request &request);
    void refuse(const Request &request);
    void notify(const Request &request, std::uint32_t property);
    void sendData(const Request &request);
    void sendChunk(TransferKey key);
    bool handleEvent(const void *event);
    std::uint32_t atom(const char *name) const;

    std::unique_ptr<XConnection> x;
    std::string type;
    std::vector<std::uint8_t> bytes;
    std::size_t chunkSize;
    std::uint32_t window = 0;
    std::uint32_t ownedSince = 0;
    std::uint32_t clipboardAtom = 0;
    std::uint32_t typeAtom = 0;
    std::uint32_t targetsAtom = 0;
    std::uint32_t timestampAtom = 0;
    std::uint32_t incrAtom = 0;
    std::map<TransferKey, std::size_t> transfers; // bytes sent so far
};

// Serves the data as the CLIPBOARD selection from a process of its own that leaves this one's
// terminal and output (so a shell that started the tool does not wait for it) and ends when
// another program takes the clipboard. Returns once that process owns the selection: true, or
// false with the reason in error. Forks: call it with no other threads running.
bool ServeClipboardInBackground(const std::string &displayName, const std::string &mimeType,
                                std::vector<std::uint8_t> data, std::string &error);
