#pragma once

#include "codecs/image_stream.h"
#include "codecs/mapping_guard.h"

#include <memory>
#include <string>

// A picture file mapped read-only into memory (a small one is copied into memory instead). Only
// regular, non-empty files are opened, and opening never blocks (a FIFO or device named like a
// picture is refused). A file that shrinks or fails while it is read does not end the process:
// the lost part reads as zeros and intact() turns false, so that the caller reports the file
// instead of what was decoded from it.
class MappedFileStream : public ImageStream
{
public:
    MappedFileStream() = default;
    ~MappedFileStream() override;
    MappedFileStream(const MappedFileStream &) = delete;
    MappedFileStream &operator=(const MappedFileStream &) = delete;

    // Empty path: 46002. Missing file, folder, special file or unmappable file: the file
    // exception. An empty file: 46024 (there is nothing to map).
    void open(const std::string &path);
    void close() override;

    std::string name() const override { return filePath; }

    // False once part of the file was lost while it was open (also after close).
    bool intact() const { return !lost && !guard.faulted(); }

private:
    void copyFile(std::int64_t size);

    std::string filePath;
    int fd = -1;
    void *view = nullptr;
    std::int64_t viewSize = 0;
    MappingGuard guard;
    // Used instead of the mapping when it cannot be watched.
    std::unique_ptr<std::uint8_t[]> copy;
    bool lost = false;
};
