// vistrel-bench-grab [--plain] [--once]: grabs the whole screen of $DISPLAY into the 24-bit
// capture store the way a capture does, through shared memory (or, with --plain, through the
// ordinary image request), and prints the time per grab beside a plain memory copy of the same
// number of bytes, the least any grab could cost. --once grabs a single time and prints nothing,
// for timing whole processes beside other screen grabbers.
#include "platform/screen_grab.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr double kSecondsPerCase = 2.0;

// Repeats work until kSecondsPerCase has passed; milliseconds per call.
template <class Work>
double millisecondsPerCall(Work work)
{
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    long rounds = 0;
    double seconds = 0;
    do {
        if (!work())
            return -1;
        ++rounds;
        seconds = std::chrono::duration<double>(Clock::now() - start).count();
    } while (seconds < kSecondsPerCase);
    return seconds * 1000 / static_cast<double>(rounds);
}

const char *FailureText(GrabFailure failure)
{
    switch (failure) {
    case GrabFailure::NoSurface:
        return "no X server";
    case GrabFailure::NoStore:
        return "no memory for the store";
    case GrabFailure::CopyFailed:
        return "the server refused the copy";
    case GrabFailure::NoArea:
        return "no such area on the screen";
    }
    return "unknown failure";
}

} // namespace

int main(int argc, char **argv)
{
    bool plain = false;
    bool once = false;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--plain") {
            plain = true;
        } else if (option == "--once") {
            once = true;
        } else {
            std::fputs("usage: vistrel-bench-grab [--plain] [--once]\n", stderr);
            return 2;
        }
    }
    ScreenGrabber grabber;
    grabber.allowSharedMemory(!plain);
    GrabResult first = grabber.grab();
    if (const GrabFailure *failure = std::get_if<GrabFailure>(&first)) {
        std::fprintf(stderr, "vistrel-bench-grab: %s\n", FailureText(*failure));
        return 1;
    }
    if (once)
        return 0;
    const CaptureGrab &shape = std::get<CaptureGrab>(first);
    const std::size_t bytes = shape.stride() * static_cast<std::size_t>(shape.h);
    const double grabMs = millisecondsPerCall(
            [&] { return std::holds_alternative<CaptureGrab>(grabber.grab()); });
    if (grabMs < 0) {
        std::fputs("vistrel-bench-grab: a grab failed\n", stderr);
        return 1;
    }
    std::vector<std::uint8_t> from(bytes, 1);
    std::vector<std::uint8_t> to(bytes);
    const double copyMs = millisecondsPerCall([&] {
        std::memcpy(to.data(), from.data(), bytes);
        from[0] = to[bytes - 1]; // keeps the copy from being optimised away
        return true;
    });
    std::printf("grab %dx%d via %s: %.3f ms\n", shape.w, shape.h,
                grabber.lastGrabUsedSharedMemory() ? "shared memory" : "image request", grabMs);
    std::printf("memcpy of %zu bytes: %.3f ms\n", bytes, copyMs);
    std::printf("grab / memcpy: %.2f\n", grabMs / copyMs);
    return 0;
}
