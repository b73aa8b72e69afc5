// Fujifilm maker notes: "FUJIFILM", then the directory offset, counted from
// the note itself; the note is always Intel byte order.
#include "metadata/makernotes/makernote.h"

namespace fotrix {

namespace {

constexpr ExifValueName sharpnessNames[] = {vt(1, TextSoft), vt(2, TextSoft), vt(3, TextNormal), vt(4, TextHard),
                                            vt(5, TextHard), otherwise(TextUnknown)};
constexpr ExifValueName whiteBalanceNames[] = {
    vt(0, TextAuto),    vn(256, "Daylight"), vn(512, "Cloudy"), vn(768, "Daylight Color Fluorescence"),
    vn(769, "Daywhite Color Fluorescence"), vn(1024, "Incandescent"), vn(3840, "Custom"), otherwise(TextUnknown),
};
constexpr ExifValueName normalHighLowNames[] = {vt(0, TextNormal), vt(256, TextHigh), vt(512, TextLow),
                                                otherwise(TextUnknown)};
constexpr ExifValueName flashNames[] = {vt(0, TextAuto), vt(1, TextOn), vt(2, TextOff),
                                        vn(3, "Red-eye reduction"), otherwise(TextUnknown)};
constexpr ExifValueName offOnNames[] = {vt(0, TextOff), vt(1, TextOn), otherwise(TextUnknown)};
constexpr ExifValueName focusNames[] = {vt(0, TextAuto), vt(1, TextManual), otherwise(TextUnknown)};
constexpr ExifValueName pictureNames[] = {
    vt(0, TextAuto),          vn(1, "Portrait"),         vn(2, "Landscape"),         vn(4, "Sports Scene"),
    vn(5, "Night scene"),     vn(6, "Program AE"),       vn(256, "Aperture Prior AE"), vn(512, "Shutter Prior AE"),
    vn(768, "Manual Exposure"), otherwise(TextUnknown),
};
constexpr ExifValueName blurNames[] = {vt(0, TextNone), vn(1, "Blur Warning"), otherwise(TextUnknown)};
constexpr ExifValueName focusStatusNames[] = {vn(0, "OK"), vn(1, "Out of Focus"), otherwise(TextUnknown)};
constexpr ExifValueName exposureStatusNames[] = {vn(0, "OK"), vn(1, "Over Exposed"), otherwise(TextUnknown)};

constexpr ExifTagEntry fujifilmTable[] = {
    typedRow(0x0000, ExifUndefined, 4, "Maker Note Version"),
    typedRow(0x1000, ExifAscii, 8, "Quality Setting"),
    typedRow(0x1001, ExifShort, 1, "Sharpness", sharpnessNames),
    typedRow(0x1002, ExifShort, 1, "White balance", whiteBalanceNames),
    typedRow(0x1003, ExifShort, 1, "Chroma Saturation", normalHighLowNames),
    typedRow(0x1004, ExifShort, 1, "Contrast", normalHighLowNames),
    typedRow(0x1010, ExifShort, 1, "Flash mode", flashNames),
    typedRow(0x1011, ExifSRational, 1, "Flash Strength"),
    typedRow(0x1020, ExifShort, 1, "Macro Mode", offOnNames),
    typedRow(0x1021, ExifShort, 1, "Focus Mode", focusNames),
    typedRow(0x1030, ExifShort, 1, "Slow Synchro Mode", offOnNames),
    typedRow(0x1031, ExifShort, 1, "Picture Mode", pictureNames),
    typedRow(0x1100, ExifShort, 1, "Continuous/Bracketing Mode", offOnNames),
    typedRow(0x1300, ExifShort, 1, "Blur Status", blurNames),
    typedRow(0x1301, ExifShort, 1, "Focus Status", focusStatusNames),
    typedRow(0x1302, ExifShort, 1, "Exposure Status", exposureStatusNames),
};

}  // namespace

void fujifilmMakerNote(ExifWalk& walk, size_t note, size_t size)
{
    if (size < 10 || !startsWithFolded(walk.data + note, size, "fujifilm")) return;
    MakerDirectory d;
    // The directory's position is little-endian whatever the block's order.
    d.dir = note + walk.bytes(false).u16At(note + 8);
    d.base = note;
    d.bigEndian = false;
    d.table = fujifilmTable;
    exifWalkMakerDirectory(walk, d);
}

}  // namespace fotrix
