// Conversion of a picture's embedded ICC profile to sRGB through Little CMS
// 2, perceptual intent, as lcms2's own jpgicc and tificc do by default.
// True-colour pictures convert in place (alpha untouched), palettes entry by
// entry, grey pictures with a grey profile to grey with the sRGB tone curve,
// and CMYK ink amounts into a new RGB picture.
#include <lcms2.h>

#include <memory>

#include "imagelib/core/colour_manage.h"

namespace fotrix {

namespace {

struct ProfileClose {
    void operator()(void* profile) const { cmsCloseProfile(profile); }
};
struct TransformDelete {
    void operator()(void* transform) const { cmsDeleteTransform(transform); }
};
using Profile = std::unique_ptr<void, ProfileClose>;
using Transform = std::unique_ptr<void, TransformDelete>;

// Bitmap type to lcms2 pixel format, for the profile's colour space.
cmsUInt32Number pixelFormat(uint16_t type, cmsColorSpaceSignature space)
{
    if (space == cmsSigRgbData) {
        switch (type) {
        case Rgb: return TYPE_RGB_8;
        case Bgr: return TYPE_BGR_8;
        case Rgba: return TYPE_RGBA_8;
        case Bgra: return TYPE_BGRA_8;
        case Abgr: return TYPE_ABGR_8;
        case Argb: return TYPE_ARGB_8;
        case Indexed: return TYPE_RGB_8;  // the palette's entries
        default: return 0;
        }
    }
    if (space == cmsSigGrayData && type == Grey) return TYPE_GRAY_8;
    if (space == cmsSigCmykData && type == Cmyk) return TYPE_CMYK_8;
    return 0;
}

// Grey with the sRGB tone curve: IEC 61966-2-1, the parametric curve of type 4.
Profile greySrgbProfile()
{
    const cmsFloat64Number srgb[5] = {2.4, 1.0 / 1.055, 0.055 / 1.055, 1.0 / 12.92, 0.04045};
    cmsToneCurve* curve = cmsBuildParametricToneCurve(nullptr, 4, srgb);
    if (!curve) return nullptr;
    Profile profile(cmsCreateGrayProfile(cmsD50_xyY(), curve));
    cmsFreeToneCurve(curve);
    return profile;
}

bool convertPalette(Bitmap& bitmap, cmsHTRANSFORM transform)
{
    if (!bitmap.palette) return false;
    uint8_t entries[256 * 3];
    for (int i = 0; i < 256; ++i) {
        entries[3 * i] = bitmap.palette[PaletteRed + i];
        entries[3 * i + 1] = bitmap.palette[PaletteGreen + i];
        entries[3 * i + 2] = bitmap.palette[PaletteBlue + i];
    }
    cmsDoTransform(transform, entries, entries, 256);
    for (int i = 0; i < 256; ++i) {
        bitmap.palette[PaletteRed + i] = entries[3 * i];
        bitmap.palette[PaletteGreen + i] = entries[3 * i + 1];
        bitmap.palette[PaletteBlue + i] = entries[3 * i + 2];
    }
    return true;
}

bool convertCmyk(Bitmap& bitmap, cmsHTRANSFORM transform, uint16_t rgbType)
{
    Bitmap rgb;
    if (bitmapAllocate(rgb, rgbType, bitmap.rowAlignment, bitmap.width, bitmap.height) != 1) return false;
    for (int y = 0; y < bitmap.height; ++y)
        cmsDoTransform(transform, bitmapRow(bitmap, y), bitmapRow(rgb, y), static_cast<cmsUInt32Number>(bitmap.width));
    bitmapCopyAttributes(rgb, bitmap);
    bitmapMove(bitmap, rgb);
    return true;
}

}  // namespace

bool iccConvertToSrgb(Bitmap& bitmap, const uint8_t* data, size_t size, uint16_t rgbType)
{
    if (!data || size < 128 || bitmap.width < 1 || bitmap.height < 1) return false;
    // Deep samples (KeepDeep) would need 16-bit formats; they keep the file's values.
    if (bitmap.type != Indexed && bitmap.bitsPerComponent != 8) return false;
    Profile input(cmsOpenProfileFromMem(data, static_cast<cmsUInt32Number>(size)));
    if (!input) return false;
    const cmsColorSpaceSignature space = cmsGetColorSpace(input.get());
    const cmsUInt32Number inFormat = pixelFormat(bitmap.type, space);
    if (inFormat == 0) return false;
    const bool grey = space == cmsSigGrayData;
    const bool cmyk = space == cmsSigCmykData;
    Profile output(grey ? greySrgbProfile().release() : cmsCreate_sRGBProfile());
    if (!output) return false;
    const cmsUInt32Number outFormat = cmyk ? (rgbType == Bgr ? TYPE_BGR_8 : TYPE_RGB_8) : inFormat;
    const cmsUInt32Number flags = T_EXTRA(inFormat) ? cmsFLAGS_COPY_ALPHA : 0;
    Transform transform(
        cmsCreateTransform(input.get(), inFormat, output.get(), outFormat, INTENT_PERCEPTUAL, flags));
    if (!transform) return false;
    if (bitmap.type == Indexed) return convertPalette(bitmap, transform.get());
    if (cmyk) return convertCmyk(bitmap, transform.get(), rgbType);
    for (int y = 0; y < bitmap.height; ++y) {
        uint8_t* row = bitmapRow(bitmap, y);
        cmsDoTransform(transform.get(), row, row, static_cast<cmsUInt32Number>(bitmap.width));
    }
    return true;
}

}  // namespace fotrix
