// The HEIF and AVIF reader on its own.
#include "codecs/heif_codec.h"
#include "fuzz_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    HeifCodec codec(ImageFormat::Heif);
    FuzzReader(codec, data, size);
    return 0;
}
