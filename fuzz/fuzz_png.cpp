// The PNG reader on its own. Checksums are not verified, so that mutations reach the decoder (the
// album's own readers go through DetectingCodec, which the other targets drive, checksums and all).
#include "codecs/png_codec.h"
#include "fuzz_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    PngCodec codec;
    codec.ignoreChecksums = true;
    FuzzReader(codec, data, size);
    return 0;
}
