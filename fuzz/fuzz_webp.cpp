// The WebP reader on its own.
#include "codecs/webp_codec.h"
#include "fuzz_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    WebpCodec codec;
    FuzzReader(codec, data, size);
    return 0;
}
