#include "image/colour_profile.h"

#ifdef VISTREL_HAVE_LCMS2
#  include <algorithm>
#  include <array>
#  include <cstdlib>
#  include <lcms2.h>
#  include <map>
#  include <memory>
#  include <mutex>

namespace {

struct ProfileDeleter
{
    void operator()(void *profile) const { cmsCloseProfile(profile); }
};

using ProfileHandle = std::unique_ptr<void, ProfileDeleter>;

// One profile's way to sRGB. Made once per profile, then shared by every decode that meets the
// profile, on any thread: the transforms keep no cache of the last colour, so they are safe to
// run concurrently.
struct Conversion
{
    cmsHTRANSFORM transform = nullptr;
    bool gray = false; // one channel in, blue, green, red out
    bool identity = false; // sRGB in effect: nothing to do

    Conversion() = default;
    Conversion(const Conversion &) = delete;
    Conversion &operator=(const Conversion &) = delete;

    ~Conversion()
    {
        if (transform)
            cmsDeleteTransform(transform);
    }
};

// Whether the transform leaves a grid of colours over the whole cube within one level of where
// they were: what cameras call sRGB is then not worth a pass over every pixel.
bool leavesColoursAlone(cmsHTRANSFORM transform)
{
    constexpr int kSteps = 9;
    std::array<std::uint8_t, kSteps * kSteps * kSteps * 3> in{};
    std::array<std::uint8_t, in.size()> out{};
    std::size_t at = 0;
    for (int b = 0; b < kSteps; ++b)
        for (int g = 0; g < kSteps; ++g)
            for (int r = 0; r < kSteps; ++r) {
                in[at++] = static_cast<std::uint8_t>(std::min(b * 32, 255));
                in[at++] = static_cast<std::uint8_t>(std::min(g * 32, 255));
                in[at++] = static_cast<std::uint8_t>(std::min(r * 32, 255));
            }
    cmsDoTransform(transform, in.data(), out.data(), kSteps * kSteps * kSteps);
    for (std::size_t i = 0; i < in.size(); ++i) {
        if (std::abs(int{ in[i] } - int{ out[i] }) > 1)
            return false;
    }
    return true;
}

std::shared_ptr<const Conversion> makeConversion(const ColourProfile &bytes)
{
    auto conversion = std::make_shared<Conversion>();
    ProfileHandle from(
            cmsOpenProfileFromMem(bytes.data(), static_cast<cmsUInt32Number>(bytes.size())));
    ProfileHandle srgb(cmsCreate_sRGBProfile());
    if (!from || !srgb)
        return conversion; // no transform: the picture keeps its colours
    const cmsColorSpaceSignature space = cmsGetColorSpace(from.get());
    if (space != cmsSigRgbData && space != cmsSigGrayData)
        return conversion;
    conversion->gray = space == cmsSigGrayData;
    conversion->transform =
            cmsCreateTransform(from.get(), conversion->gray ? TYPE_GRAY_8 : TYPE_BGR_8, srgb.get(),
                               TYPE_BGR_8, INTENT_PERCEPTUAL, cmsFLAGS_NOCACHE);
    if (conversion->transform && !conversion->gray)
        conversion->identity = leavesColoursAlone(conversion->transform);
    return conversion;
}

// The conversions made so far, by profile. Photos of one folder usually share one or two
// profiles; the number kept is bounded all the same, as a folder of odd files could bring many.
class ConversionCache
{
public:
    std::shared_ptr<const Conversion> find(const ColourProfile &profile)
    {
        std::lock_guard lock(mutex);
        auto found = conversions.find(profile);
        if (found != conversions.end())
            return found->second;
        if (conversions.size() >= kMaxKept)
            conversions.clear();
        auto made = makeConversion(profile);
        conversions.emplace(profile, made);
        return made;
    }

private:
    static constexpr std::size_t kMaxKept = 32;
    std::mutex mutex;
    std::map<ColourProfile, std::shared_ptr<const Conversion>> conversions;
};

ConversionCache &cache()
{
    // The one cache of the process: it only ever holds what a profile's bytes determine.
    static ConversionCache conversions;
    return conversions;
}

void convertPalette(const Conversion &conversion, ImagePalette &palette)
{
    std::array<std::uint8_t, ImagePalette::kMaxEntries * 3> in{};
    std::array<std::uint8_t, in.size()> out{};
    const int count = std::min<int>(palette.count, ImagePalette::kMaxEntries);
    for (int i = 0; i < count; ++i) {
        const PaletteEntry &e = palette.entries[i];
        if (conversion.gray) {
            in[static_cast<std::size_t>(i)] = e.red;
        } else {
            in[static_cast<std::size_t>(i) * 3] = e.blue;
            in[static_cast<std::size_t>(i) * 3 + 1] = e.green;
            in[static_cast<std::size_t>(i) * 3 + 2] = e.red;
        }
    }
    cmsDoTransform(conversion.transform, in.data(), out.data(),
                   static_cast<cmsUInt32Number>(count));
    for (int i = 0; i < count; ++i) {
        PaletteEntry &e = palette.entries[i];
        e.blue = out[static_cast<std::size_t>(i) * 3];
        e.green = out[static_cast<std::size_t>(i) * 3 + 1];
        e.red = out[static_cast<std::size_t>(i) * 3 + 2];
    }
}

// A parametric curve of type 4: Y = (aX + b)^g from X >= d, else cX.
cmsToneCurve *curveFor(int transfer)
{
    static const double srgb[] = { 2.4, 1 / 1.055, 0.055 / 1.055, 1 / 12.92, 0.04045 };
    switch (transfer) {
    case 1: // BT.709, BT.601 and BT.2020 pictures are shown as sRGB ones are, as browsers do
    case 2:
    case 6:
    case 13:
    case 14:
    case 15:
        return cmsBuildParametricToneCurve(nullptr, 4, srgb);
    case 4:
        return cmsBuildGamma(nullptr, 2.2);
    case 5:
        return cmsBuildGamma(nullptr, 2.8);
    case 8:
        return cmsBuildGamma(nullptr, 1.0);
    default:
        return nullptr;
    }
}

bool primariesFor(int code, cmsCIExyYTRIPLE &primaries, cmsCIExyY &white)
{
    white = { 0.3127, 0.3290, 1.0 };
    switch (code) {
    case 1:
    case 2:
        primaries = { { 0.640, 0.330, 1 }, { 0.300, 0.600, 1 }, { 0.150, 0.060, 1 } };
        return true;
    case 5:
        primaries = { { 0.640, 0.330, 1 }, { 0.290, 0.600, 1 }, { 0.150, 0.060, 1 } };
        return true;
    case 6:
        primaries = { { 0.630, 0.340, 1 }, { 0.310, 0.595, 1 }, { 0.155, 0.070, 1 } };
        return true;
    case 9:
        primaries = { { 0.708, 0.292, 1 }, { 0.170, 0.797, 1 }, { 0.131, 0.046, 1 } };
        return true;
    case 11:
        white = { 0.314, 0.351, 1.0 };
        [[fallthrough]];
    case 12:
        primaries = { { 0.680, 0.320, 1 }, { 0.265, 0.690, 1 }, { 0.150, 0.060, 1 } };
        return true;
    default:
        return false;
    }
}

} // namespace

bool ColourManagementAvailable()
{
    return true;
}

void ConvertToSrgb(ImageBuffer &image, const ColourProfile &profile)
{
    if (profile.empty() || !image.hasPixels())
        return;
    const std::shared_ptr<const Conversion> conversion = cache().find(profile);
    if (!conversion->transform || conversion->identity)
        return;
    if (image.bytesPerPixel == 1) {
        if (image.palette)
            convertPalette(*conversion, *image.palette);
        return;
    }
    if (conversion->gray || image.bytesPerPixel != 3)
        return;
    for (std::int32_t y = 0; y < image.height; ++y)
        cmsDoTransform(conversion->transform, image.row(y), image.row(y),
                       static_cast<cmsUInt32Number>(image.width));
}

ColourProfile ProfileFromCodePoints(int primaries, int transfer)
{
    const bool srgbPrimaries = primaries == 1 || primaries == 2;
    const bool srgbTransfer = transfer == 1 || transfer == 2 || transfer == 6 || transfer == 13
            || transfer == 14 || transfer == 15;
    cmsCIExyYTRIPLE xyY{};
    cmsCIExyY white{};
    if ((srgbPrimaries && srgbTransfer) || !primariesFor(primaries, xyY, white))
        return {};
    cmsToneCurve *curve = curveFor(transfer);
    if (!curve)
        return {};
    cmsToneCurve *curves[3] = { curve, curve, curve };
    ProfileHandle profile(cmsCreateRGBProfile(&white, &xyY, curves));
    cmsFreeToneCurve(curve);
    cmsUInt32Number size = 0;
    if (!profile || !cmsSaveProfileToMem(profile.get(), nullptr, &size) || size == 0)
        return {};
    ColourProfile bytes(size);
    if (!cmsSaveProfileToMem(profile.get(), bytes.data(), &size))
        return {};
    return bytes;
}

#else

bool ColourManagementAvailable()
{
    return false;
}

void ConvertToSrgb(ImageBuffer &, const ColourProfile &) { }

ColourProfile ProfileFromCodePoints(int, int)
{
    return {};
}

#endif
