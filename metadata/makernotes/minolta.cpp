// Minolta maker notes: a directory whose tags 1 and 3 hold the camera
// settings as an array of big-endian 32-bit values.
#include <cmath>

#include "metadata/exif_format.h"
#include "metadata/makernotes/makernote.h"

namespace fotrix {

namespace {

constexpr ExifValueName exposureNames[] = {vn(0, "Program"), vn(1, "Aperture priority"), vn(2, "Shutter priority"),
                                           vt(3, TextManual), otherwise(TextUnknown)};
constexpr ExifValueName flashNames[] = {vn(0, "Fill flash"), vn(1, "Red-eye reduction"), vn(2, "Rear flash sync"),
                                        vn(3, "Wireless"), otherwise(TextUnknown)};
constexpr ExifValueName whiteBalanceNames[] = {vt(0, TextAuto),    vn(1, "Daylight"),     vn(2, "Cloudy"),
                                               vn(3, "Tungsten"), vn(5, "Custom"),       vn(7, "Fluorescent"),
                                               vn(8, "Fluorescent 2"), vn(11, "Custom 2"), vn(12, "Custom 3"),
                                               otherwise(TextUnknown)};
constexpr ExifValueName imageSizeNames[] = {vn(0, "2560x1920 (2048x1536)"), vn(1, "1600x1200"), vn(2, "1280x960"),
                                            vn(3, "640x480"), otherwise(TextUnknown)};
constexpr ExifValueName qualityNames[] = {vn(0, "Raw"),      vn(1, "Superfine"), vn(2, "Fine"), vn(3, "Standard"),
                                          vn(4, "Economy"),  vn(5, "Extra fine"), otherwise(TextUnknown)};
constexpr ExifValueName driveNames[] = {vn(0, "Single"),   vn(1, "Continuous"), vn(2, "self-timer"),
                                        vn(4, "bracketing"), vn(5, "interval"), vn(6, "UHS continuous"),
                                        vn(7, "HS continuous"), otherwise(TextUnknown)};
constexpr ExifValueName meteringNames[] = {vn(0, "Multi-segment"), vn(1, "Center weight"), vn(2, "Spot"),
                                           otherwise(TextUnknown)};
constexpr ExifValueName offOnNames[] = {vt(0, TextOff), vt(1, TextOn), otherwise(TextUnknown)};
constexpr ExifValueName zoomNames[] = {vt(0, TextOff), vn(1, "Electronic magnification"), vn(2, "2x"),
                                       otherwise(TextUnknown)};
constexpr ExifValueName bracketNames[] = {vn(0, "1/3 EV"), vn(1, "2/3 EV"), vn(2, "1 EV"), otherwise(TextUnknown)};
constexpr ExifValueName noYesNames[] = {vt(0, TextNo), vt(1, TextYes), otherwise(TextUnknown)};
constexpr ExifValueName sharpnessNames[] = {vt(0, TextHard), vt(1, TextNormal), vt(2, TextSoft),
                                            otherwise(TextUnknown)};
constexpr ExifValueName programNames[] = {vt(0, TextNone),        vn(1, "Portrait"), vn(2, "Text"),
                                          vn(3, "Night portrait"), vn(4, "Sunset"),   vn(5, "Sports action"),
                                          otherwise(TextUnknown)};
constexpr ExifValueName isoSettingNames[] = {vn(0, "100"), vn(1, "200"), vn(2, "400"), vn(3, "800"),
                                             vt(4, TextAuto), otherwise(TextUnknown)};
constexpr ExifValueName modelNames[] = {vn(0, "DiMAGE 7"),   vn(1, "DiMAGE 5"),  vn(2, "DiMAGE S304"),
                                        vn(3, "DiMAGE S404"), vn(4, "DiMAGE 7i"), vn(5, "DiMAGE 7Hi"),
                                        otherwise(TextUnknown)};
constexpr ExifValueName intervalModeNames[] = {vn(0, "Still Image"), vn(1, "Time-lapse Movie"),
                                               otherwise(TextUnknown)};
constexpr ExifValueName folderNames[] = {vn(0, "Standard Form"), vn(1, "Data Form"), otherwise(TextUnknown)};
constexpr ExifValueName colorModeNames[] = {vn(0, "Natural color"), vn(1, "Black&white"), vn(2, "Vivid color"),
                                            vn(3, "Solarization"), vn(4, "Adobe RGB"), otherwise(TextUnknown)};
constexpr ExifValueName focusZoneNames[] = {vn(0, "No zone"),
                                            vn(1, "Center zone (horizontal orientation)"),
                                            vn(2, "Center zone (vertical orientation)"),
                                            vn(3, "Left zone"),
                                            vn(4, "Right zone"),
                                            otherwise(TextUnknown)};
constexpr ExifValueName focusModeNames[] = {vn(0, "AF"), vn(1, "MF"), otherwise(TextUnknown)};
constexpr ExifValueName focusAreaNames[] = {vn(0, "Wide Focus (normal)"), vn(1, "Spot Focus"),
                                            otherwise(TextUnknown)};
constexpr ExifValueName decNames[] = {vn(0, "exposure"), vn(1, "contrast"), vn(2, "saturation"), vn(3, "filter"),
                                      otherwise(TextUnknown)};

constexpr ExifTagEntry settingsTable[] = {
    typedRow(0x0001, ExifLong, 1, "Exposure mode", exposureNames),
    typedRow(0x0002, ExifLong, 1, "Flash mode", flashNames),
    typedRow(0x0003, ExifLong, 1, "White balance", whiteBalanceNames),
    typedRow(0x0004, ExifLong, 1, "Image size", imageSizeNames),
    typedRow(0x0005, ExifLong, 1, "Image Quality", qualityNames),
    typedRow(0x0006, ExifLong, 1, "Drive mode", driveNames),
    typedRow(0x0007, ExifLong, 1, "Metering mode", meteringNames),
    typedRow(0x0008, ExifLong, 1, "ISO"),
    typedRow(0x0009, ExifLong, 1, "Shutter speed [s]"),
    typedRow(0x000A, ExifLong, 1, "Aperture"),
    typedRow(0x000B, ExifLong, 1, "Macro Mode", offOnNames),
    typedRow(0x000C, ExifLong, 1, "Digital zoom", zoomNames),
    typedRow(0x000D, ExifLong, 1, "Exposure Compensation"),
    typedRow(0x000E, ExifLong, 1, "Bracket Step", bracketNames),
    typedRow(0x0010, ExifLong, 1, "Interval Length"),
    typedRow(0x0011, ExifLong, 1, "Interval Number"),
    typedRow(0x0012, ExifLong, 1, "Focal length [mm]"),
    typedRow(0x0013, ExifLong, 1, "Focal distance"),
    typedRow(0x0014, ExifLong, 1, "Flash fired", noYesNames),
    typedRow(0x0015, ExifLong, 1, "Date"),
    typedRow(0x0016, ExifLong, 1, "Time"),
    typedRow(0x0017, ExifLong, 1, "Max aperture"),
    typedRow(0x001A, ExifLong, 1, "File Number Memory", offOnNames),
    typedRow(0x001B, ExifLong, 1, "Last File Number"),
    typedRow(0x001C, ExifLong, 1, "Color Balance Red"),
    typedRow(0x001D, ExifLong, 1, "Color Balance Green"),
    typedRow(0x001E, ExifLong, 1, "Color Balance Blue"),
    typedRow(0x001F, ExifLong, 1, "Saturation"),
    typedRow(0x0020, ExifLong, 1, "Contrast"),
    typedRow(0x0021, ExifLong, 1, "Sharpness", sharpnessNames),
    typedRow(0x0022, ExifLong, 1, "Subject Program", programNames),
    typedRow(0x0023, ExifLong, 1, "Falsh Exposure Comp"),
    typedRow(0x0024, ExifLong, 1, "ISO Setting", isoSettingNames),
    typedRow(0x0025, ExifLong, 1, "Camera Model", modelNames),
    typedRow(0x0026, ExifLong, 1, "Interval mode", intervalModeNames),
    typedRow(0x0027, ExifLong, 1, "Folder name", folderNames),
    typedRow(0x0028, ExifLong, 1, "Color Mode", colorModeNames),
    typedRow(0x0029, ExifLong, 1, "Color Filter"),
    typedRow(0x002A, ExifLong, 1, "BWFilter"),
    typedRow(0x002C, ExifLong, 1, "Brightness"),
    typedRow(0x002D, ExifLong, 1, "SpotFocusPointX"),
    typedRow(0x002E, ExifLong, 1, "SpotFocusPointY"),
    typedRow(0x002F, ExifLong, 1, "Wide Focus Zone", focusZoneNames),
    typedRow(0x0030, ExifLong, 1, "Focus Mode", focusModeNames),
    typedRow(0x0031, ExifLong, 1, "Focus Area", focusAreaNames),
    typedRow(0x0032, ExifLong, 1, "DECPosition", decNames),
};

constexpr ExifTagEntry minoltaTable[] = {
    typedRow(0x0000, ExifUndefined, 1, "Version"),
    typedRow(0x0040, ExifLong, 1, "Compressed Image Size"),
    typedRow(0x0081, ExifLong, 1, "Preview Image Data"),
    typedRow(0x0088, ExifLong, 1, "Preview Image Start"),
    typedRow(0x0089, ExifLong, 1, "Preview Image Length"),
    typedRow(0x0101, ExifLong, 1, "Color Mode", colorModeNames),
    typedRow(0x0102, ExifLong, 1, "Minolta Quality", qualityNames),
    typedRow(0x0103, ExifLong, 1, "Minolta Quality", qualityNames),
    typedRow(0x0E00, ExifUndefined, 1, "Print IM"),
};

// Shutter time in seconds as "1/n" or with one decimal.
std::string shutterText(uint32_t v)
{
    double t = std::pow(2.0, (48.0 - double(v)) / 8);
    if (t > 0 && t < 0.25001) return formatText("1/%.0f", std::floor(1 / t + 0.5));  // no int: damaged values may be huge
    return formatText("%.1f", t);
}

bool minoltaSettingsFormatter(uint32_t position, uint32_t v, std::string& text)
{
    switch (position) {
    case 8: text = formatText("%.0f", std::trunc(std::pow(2.0, double(v / 8) - 1) * 3.125)); return true;
    case 9: text = shutterText(v); return true;
    case 10:
    case 23: text = formatText("%.1f", std::pow(2.0, double(v) / 16 - 0.5)); return true;
    case 13: text = formatText("%d", static_cast<int>(double(v) / 3 - 2)); return true;
    case 18: case 28: case 29: case 30: text = formatText("%.4f", double(v) / 256); return true;
    case 19: text = v / 1000 == 0 ? std::string("inf") : formatText("%u m", v / 1000); return true;
    case 21: text = formatText("%4u:%.2u:%.2u", v >> 16, (v >> 8) & 255, v & 255); return true;
    case 22: text = formatText("%2u:%.2u:%.2u", v >> 16, (v >> 8) & 255, v & 255); return true;
    case 31: case 32: case 41: text = formatText("%lld", static_cast<long long>(static_cast<int32_t>(v)) - 3); return true;
    case 35: text = formatText("%.1f", (double(v) - 6) / 3); return true;
    case 44: text = formatText("%.4f", double(v) / 8 - 6); return true;
    default: return false;
    }
}

// The version (tag 0) of four bytes is shown as four characters.
void minoltaFormatter(const ExifTagEntry& row, const ExifEntry& entry, bool, std::string& text)
{
    if (row.tag == 0 && entry.size == 4)
        text = formatText("%c%c%c%c", entry.value[0], entry.value[1], entry.value[2], entry.value[3]);
}

}  // namespace

void minoltaMakerNote(ExifWalk& walk, size_t note, size_t size)
{
    if (size < 2) return;
    const uint8_t* p = walk.data + note;
    ByteReader bytes = walk.bytes(walk.bigEndian);
    uint32_t n = bytes.u16At(note);
    if (n == 0 || size_t(8) * n >= size || p[0] == '+' || p[1] == 'M') return;
    size_t length = walk.size - 6;
    for (uint32_t i = 0; i < n; ++i) {
        size_t pos = note + 2 + size_t(12) * i;
        if (pos + 12 > walk.size) break;
        if (bytes.u16At(pos + 2) > 52) break;  // not a directory after all
        ExifEntry entry;
        if (!exifReadEntry(walk, pos, 6, length, walk.bigEndian, entry)) continue;
        if (entry.tag == 1 || entry.tag == 3) {
            // The camera settings are big-endian whatever the block's order.
            exifDecodeArray(walk, settingsTable, entry.bytes(true), entry.size / 4, 4, minoltaSettingsFormatter);
            continue;
        }
        const ExifTagEntry* row = exifFindRow(std::span<const ExifTagEntry>(minoltaTable), entry.tag);
        if (row)
            exifReport(walk, ExifGroupMakernotes, 0, exifRowLabel(*row),
                       exifFormatMakerEntry(*row, entry, walk.bigEndian, minoltaFormatter));
    }
}

}  // namespace fotrix
