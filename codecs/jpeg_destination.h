#pragma once

#include "codecs/jpeg_errors.h"

#include <cstddef>
#include <cstdint>

class SafeFile;

// The destination manager: the library compresses into a 16 KB buffer that is written to the
// output file whenever it fills, and once more at the end. A failed write is the library's
// JERR_FILE_WRITE.
struct JpegDestination
{
    static constexpr std::size_t kBufferSize = 16384;

    jpeg_destination_mgr pub; // first member: the library's pointer to it is a pointer to this
    SafeFile *file = nullptr;
    std::uint8_t buffer[kBufferSize];
};

// Installs destination, writing into file, which must stay open while cinfo writes.
void AttachJpegDestination(j_compress_ptr cinfo, JpegDestination &destination, SafeFile &file);
