#include "codecs/jpeg_destination.h"

#include "common/safe_file.h"

namespace {

JpegDestination &destinationOf(j_compress_ptr cinfo)
{
    return *reinterpret_cast<JpegDestination *>(cinfo->dest);
}

// The file reports failures as exceptions, which must not reach the library's frames: they
// become a result here and the library's own error afterwards.
bool writeChunk(SafeFile &file, const std::uint8_t *data, std::size_t size) noexcept
{
    try {
        file.write(data, size);
        return true;
    } catch (...) {
        return false;
    }
}

void initDestination(j_compress_ptr cinfo)
{
    JpegDestination &destination = destinationOf(cinfo);
    destination.pub.next_output_byte = destination.buffer;
    destination.pub.free_in_buffer = JpegDestination::kBufferSize;
}

boolean emptyOutputBuffer(j_compress_ptr cinfo)
{
    JpegDestination &destination = destinationOf(cinfo);
    // The library calls this when the buffer is full, whatever free_in_buffer says.
    if (!writeChunk(*destination.file, destination.buffer, JpegDestination::kBufferSize))
        FailJpeg(reinterpret_cast<j_common_ptr>(cinfo), JERR_FILE_WRITE);
    initDestination(cinfo);
    return TRUE;
}

void terminateDestination(j_compress_ptr cinfo)
{
    JpegDestination &destination = destinationOf(cinfo);
    const std::size_t held = JpegDestination::kBufferSize - destination.pub.free_in_buffer;
    if (held > 0 && !writeChunk(*destination.file, destination.buffer, held))
        FailJpeg(reinterpret_cast<j_common_ptr>(cinfo), JERR_FILE_WRITE);
}

} // namespace

void AttachJpegDestination(j_compress_ptr cinfo, JpegDestination &destination, SafeFile &file)
{
    destination.file = &file;
    destination.pub.init_destination = initDestination;
    destination.pub.empty_output_buffer = emptyOutputBuffer;
    destination.pub.term_destination = terminateDestination;
    cinfo->dest = &destination.pub;
}
