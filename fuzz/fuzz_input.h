#pragma once

#include "codecs/detecting_codec.h"
#include "codecs/image_stream.h"

#include <cstddef>
#include <cstdint>

// Pictures larger than this are decoded into a smaller target, so that a fuzzer spends its time on
// parsing rather than on filling huge stores.
inline constexpr std::int32_t kFuzzMaxSide = 1024;

// Runs f and swallows the program's exceptions: a clean failure is a correct answer to bad input.
template <typename F>
void IgnoringCleanFailures(F &&f)
{
    try {
        f();
    } catch (const std::exception &) {
    }
}

// The entry point every target defines; libFuzzer or the replay program calls it.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size);
