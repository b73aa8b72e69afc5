// Casio maker notes: "QVC", 0, 0, 0 and a big-endian directory six bytes in
// (type 2), or a bare directory (type 1).
#include <cstring>

#include "metadata/makernotes/makernote.h"

namespace fotrix {

namespace {

constexpr ExifValueName qualityModeNames[] = {vn(0, "Economy"), vt(1, TextNormal), vn(2, "Fine"),
                                              otherwise(TextUnknown)};
constexpr ExifValueName imageSizeNames[] = {vn(0, "640x480"),   vn(4, "1600x1200"),  vn(5, "2048x1536"),
                                            vn(20, "2288x1712"), vn(21, "2592x1944"), vn(22, "2304x1728"),
                                            vn(36, "3008x2008"), otherwise(TextUnknown)};
constexpr ExifValueName focusModeNames[] = {vt(0, TextNormal), vt(1, TextMacro), otherwise(TextUnknown)};
constexpr ExifValueName isoNames[] = {vn(3, "50"), vn(4, "64"), vn(6, "100"), vn(9, "200"), otherwise(TextUnknown)};
constexpr ExifValueName whiteBalance2Names[] = {vt(0, TextAuto),     vn(1, "Daylight"),    vn(2, "Shade"),
                                                vn(3, "Tungsten"),  vn(4, "Fluorescent"), vt(5, TextManual),
                                                otherwise(TextUnknown)};
constexpr ExifValueName levelNames[] = {vn(0, "-1"), vt(1, TextNormal), vn(2, "+1"), otherwise(TextUnknown)};
constexpr ExifValueName whiteBalanceBNames[] = {vn(12, "Flash"), vt(0, TextManual), vn(1, "Auto?"), vn(4, "Flash?"),
                                                otherwise(TextUnknown)};
constexpr ExifValueName recordModeNames[] = {vt(2, TextNormal), otherwise(TextUnknown)};
constexpr ExifValueName selfTimerNames[] = {vt(1, TextOff), otherwise(TextUnknown)};
constexpr ExifValueName qualityNames[] = {vn(1, "Economic"), vt(2, TextNormal), vn(3, "Fine"),
                                          otherwise(TextUnknown)};
constexpr ExifValueName afModeNames[] = {vn(0, "Manual?"), vn(1, "Fixation?"), vn(3, "Single-Area Auto Focus"),
                                         vn(6, "Multi-Area Auto Focus"), otherwise(TextUnknown)};
constexpr ExifValueName bestshotNames[] = {vt(0, TextOn), vt(1, TextOff), otherwise(TextUnknown)};
constexpr ExifValueName offNames[] = {vt(0, TextOff), otherwise(TextUnknown)};

constexpr ExifTagEntry casioType2Table[] = {
    typedRow(0x0002, ExifShort, 1, "Thumbnail Dimensions"),
    typedRow(0x0003, ExifLong, 1, "Thumbnail Size"),
    typedRow(0x0004, ExifLong, 1, "Thumbnail Offset"),
    typedRow(0x0008, ExifLong, 1, "Quality Mode", qualityModeNames),
    typedRow(0x0009, ExifLong, 1, "Image Size", imageSizeNames),
    typedRow(0x000D, ExifLong, 1, "Focus Mode", focusModeNames),
    typedRow(0x0014, ExifLong, 1, "Iso Sensitivity", isoNames),
    typedRow(0x0019, ExifLong, 1, "White Balance", whiteBalance2Names),
    typedRow(0x001D, ExifLong, 1, "Focal Length"),
    typedRow(0x001F, ExifLong, 1, "Saturation", levelNames),
    typedRow(0x0020, ExifLong, 1, "Contrast", levelNames),
    typedRow(0x0021, ExifLong, 1, "Sharpness", levelNames),
    typedRow(0x0E00, ExifLong, 1, "Print Image Matching Info"),
    typedRow(0x2011, ExifShort, 1, "White Balance Bias"),
    typedRow(0x2012, ExifShort, 1, "White Balance", whiteBalanceBNames),
    typedRow(0x2022, ExifLong, 1, "Object Distance [mm]"),
    typedRow(0x2034, ExifShort, 1, "Flash Distance"),
    typedRow(0x3000, ExifShort, 1, "Record Mode", recordModeNames),
    typedRow(0x3001, ExifShort, 1, "Self Timer", selfTimerNames),
    typedRow(0x3002, ExifShort, 1, "Quality", qualityNames),
    typedRow(0x3003, ExifShort, 1, "Focus Mode", afModeNames),
    typedRow(0x3006, ExifAscii, 0, "Time Zone"),
    typedRow(0x3007, ExifShort, 1, "Bestshot Mode", bestshotNames),
    typedRow(0x3014, ExifShort, 1, "CCD ISO Sensitivity"),
    typedRow(0x3015, ExifShort, 1, "Colour Mode", offNames),
    typedRow(0x3016, ExifShort, 1, "Enhancement", offNames),
    typedRow(0x3017, ExifShort, 1, "Filter", offNames),
};

constexpr ExifValueName recordingNames[] = {vn(1, "Single Shutter"), vn(2, "Panorama"), vn(3, "Night scene"),
                                            vn(4, "Portrait"), vn(5, "Landscape"), otherwise(TextUnknown)};
constexpr ExifValueName qualitySettingNames[] = {vn(1, "Economy"), vt(2, TextNormal), vn(3, "Fine"),
                                                 otherwise(TextUnknown)};
constexpr ExifValueName focus1Names[] = {vt(2, TextMacro), vn(3, "Auto Focus"), vn(4, "Manual Focus"),
                                         vn(5, "Infinity"), otherwise(TextUnknown)};
constexpr ExifValueName flashModeNames[] = {vt(1, TextAuto), vt(2, TextOn), vt(3, TextOff),
                                            vn(4, "Red-eye reduction"), otherwise(TextUnknown)};
constexpr ExifValueName flashIntensityNames[] = {vt(1, TextAuto), vt(2, TextOn), vt(3, TextOff),
                                                 vn(4, "Red-eye reduction"), vn(11, "Weak"), vt(13, TextNormal),
                                                 vn(15, "Strong"), otherwise(TextUnknown)};
constexpr ExifValueName whiteBalance1Names[] = {vt(1, TextAuto),       vn(2, "Tungsten"), vn(3, "Daylight"),
                                                vn(4, "Fluorescent"), vn(5, "Shade"),    vt(129, TextManual),
                                                otherwise(TextUnknown)};
constexpr ExifValueName zoomNames[] = {vt(65536, TextOff), vn(65537, "2X Digital Zoom"), otherwise(TextUnknown)};
constexpr ExifValueName normalSoftHardNames[] = {vt(0, TextNormal), vt(1, TextSoft), vt(2, TextHard),
                                                 otherwise(TextUnknown)};
constexpr ExifValueName ccdNames[] = {vt(64, TextNormal), vn(125, "+1.0"), vn(250, "+2.0"), vn(244, "+3.0"),
                                      vt(80, TextNormal), vt(100, TextHigh), otherwise(TextUnknown)};

constexpr ExifTagEntry casioType1Table[] = {
    typedRow(0x0001, ExifShort, 1, "Recording Mode", recordingNames),
    typedRow(0x0002, ExifShort, 1, "Quality Setting", qualitySettingNames),
    typedRow(0x0003, ExifShort, 1, "Focus Mode", focus1Names),
    typedRow(0x0004, ExifShort, 1, "Flash mode", flashModeNames),
    typedRow(0x0005, ExifShort, 1, "Flash intensity", flashIntensityNames),
    typedRow(0x0006, ExifLong, 1, "Object distance"),
    typedRow(0x0007, ExifShort, 1, "White balance", whiteBalance1Names),
    typedRow(0x000A, ExifLong, 1, "Digital zoom", zoomNames),
    typedRow(0x000B, ExifShort, 1, "Sharpness", normalSoftHardNames),
    typedRow(0x000C, ExifShort, 1, "Contrast", normalSoftHardNames),
    typedRow(0x000D, ExifShort, 1, "Saturation", normalSoftHardNames),
    typedRow(0x0014, ExifShort, 1, "CCD Sensitivity", ccdNames),
};

}  // namespace

void casioMakerNote(ExifWalk& walk, size_t note, size_t size)
{
    if (size >= 6 && std::memcmp(walk.data + note, "QVC\0\0\0", 6) == 0) {
        MakerDirectory d;
        d.dir = note + 6;
        d.base = 6;
        d.bigEndian = true;
        d.table = casioType2Table;
        exifWalkMakerDirectory(walk, d);
        return;
    }
    walkStandardMakerDirectory(walk, note, casioType1Table);
}

}  // namespace fotrix
