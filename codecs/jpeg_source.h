#pragma once

#include "codecs/jpeg_errors.h"

#include <cstddef>
#include <cstdint>

// The source manager: hands the library the whole picture at once. The file is mapped, so there
// is never more data to fetch; when the library asks for more, the file is truncated, and that
// is an error (JERR_FILE_READ) rather than the invented end of picture of the library's own
// source managers.
struct JpegSource
{
    jpeg_source_mgr pub; // first member: the library's pointer to it is a pointer to this
    const std::uint8_t *data = nullptr;
    std::size_t size = 0;
};

// Installs source over size bytes at data, which must stay valid while cinfo reads.
void AttachJpegSource(j_decompress_ptr cinfo, JpegSource &source, const std::uint8_t *data,
                      std::size_t size);
