#pragma once

#include "codecs/image_stream.h"

#include <string>

// A picture file mapped read-only into memory. Only regular, non-empty files are opened, and
// opening never blocks (a FIFO or device named like a picture is refused).
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

private:
    std::string filePath;
    int fd = -1;
    void *view = nullptr;
    std::int64_t viewSize = 0;
};
