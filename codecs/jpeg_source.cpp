#include "codecs/jpeg_source.h"

namespace {

JpegSource &sourceOf(j_decompress_ptr cinfo)
{
    return *reinterpret_cast<JpegSource *>(cinfo->src);
}

void initSource(j_decompress_ptr cinfo)
{
    JpegSource &source = sourceOf(cinfo);
    source.pub.next_input_byte = source.data;
    source.pub.bytes_in_buffer = source.size;
}

boolean fillInputBuffer(j_decompress_ptr cinfo)
{
    FailJpeg(reinterpret_cast<j_common_ptr>(cinfo), JERR_FILE_READ);
}

void skipInputData(j_decompress_ptr cinfo, long count)
{
    if (count <= 0)
        return;
    JpegSource &source = sourceOf(cinfo);
    const auto n = static_cast<std::size_t>(count);
    if (n > source.pub.bytes_in_buffer)
        fillInputBuffer(cinfo);
    source.pub.next_input_byte += n;
    source.pub.bytes_in_buffer -= n;
}

void terminateSource(j_decompress_ptr) { }

} // namespace

void AttachJpegSource(j_decompress_ptr cinfo, JpegSource &source, const std::uint8_t *data,
                      std::size_t size)
{
    source.data = data;
    source.size = size;
    source.pub.init_source = initSource;
    source.pub.fill_input_buffer = fillInputBuffer;
    source.pub.skip_input_data = skipInputData;
    source.pub.resync_to_restart = jpeg_resync_to_restart;
    source.pub.term_source = terminateSource;
    source.pub.next_input_byte = data;
    source.pub.bytes_in_buffer = size;
    cinfo->src = &source.pub;
}
