// Canon maker notes: a bare directory whose camera-settings (tag 1) and
// shot-information (tag 4) entries are arrays of 16-bit values.
#include <algorithm>
#include <cstring>

#include "metadata/exif_format.h"
#include "metadata/makernotes/makernote.h"

namespace fotrix {

namespace {

constexpr ExifValueName macroNames[] = {vt(1, TextMacro), vt(2, TextNormal), otherwise(TextUnknown)};
constexpr ExifValueName selfTimerNames[] = {vt(0, TextOff), otherwise(TextNone)};
constexpr ExifValueName compressionNames[] = {vt(2, TextNormal), vn(3, "Fine"), vn(5, "Superfine"),
                                              otherwise(TextUnknown)};
constexpr ExifValueName flashNames[] = {vn(0, "No flash"),           vt(1, TextAuto),
                                        vt(2, TextOn),               vn(3, "Red-eye reduction"),
                                        vn(4, "Slow synchro"),       vn(5, "Auto + red-eye reduction"),
                                        vn(6, "On + red-eye reduction"), otherwise(TextUnknown)};
constexpr ExifValueName driveNames[] = {vn(0, "Single or timer"), vn(1, "Continuous"), otherwise(TextUnknown)};
constexpr ExifValueName focusModeNames[] = {vn(0, "One-Shot"), vn(1, "AI Servo"), vn(2, "AI Focus"), vn(3, "MF"),
                                            vn(4, "Single"),   vn(5, "Continuous"), vn(6, "MF"),
                                            otherwise(TextUnknown)};
constexpr ExifValueName imageSizeNames[] = {vn(0, "Large"), vn(1, "Medium"), vn(2, "Small"), otherwise(TextUnknown)};
constexpr ExifValueName easyNames[] = {vn(0, "Full Auto"),    vt(1, TextManual),    vn(2, "Landscape"),
                                       vn(3, "Fast Shutter"), vn(4, "Slow Shutter"), vn(5, "Night"),
                                       vn(6, "B&W"),          vn(7, "Sepia"),        vn(8, "Portrait"),
                                       vn(9, "Sports"),       vn(10, "Macro / Close-Up"), vn(11, "Pan Focus"),
                                       otherwise(TextUnknown)};
constexpr ExifValueName lowNormalHighNames[] = {vt(65535, TextLow), vt(0, TextNormal), vt(1, TextHigh),
                                                otherwise(TextUnknown)};
constexpr ExifValueName isoNames[] = {vt(15, TextAuto), vn(16, "50"), vn(17, "100"), vn(18, "200"), vn(19, "400"),
                                      otherwise(TextUnknown)};
constexpr ExifValueName meteringNames[] = {vn(3, "Evaluative"), vn(4, "Partial"), vn(5, "Center-weighted"),
                                           otherwise(TextUnknown)};
constexpr ExifValueName afPointNames[] = {vn(12288, "None (MF)"), vn(12289, "Auto-selected"), vn(12290, "Right"),
                                          vn(12291, "Center"), vn(12292, "Left"), otherwise(TextUnknown)};
constexpr ExifValueName focusTypeNames[] = {vt(0, TextManual), vt(1, TextAuto), vn(3, "Close-Up (Macro Mode)"),
                                            vn(7, "Infinity Mode"), vn(8, "Locked (Pan Mode)"),
                                            otherwise(TextUnknown)};
constexpr ExifValueName exposureModeNames[] = {vn(0, "Easy shooting"), vn(1, "Program"), vn(2, "Tv-priority"),
                                               vn(3, "Av-priority"),   vt(4, TextManual), vn(5, "A-DEP"),
                                               otherwise(TextUnknown)};

constexpr ExifTagEntry settingsTable[] = {
    typedRow(0x0001, ExifShort, 0, "Macro", macroNames),
    typedRow(0x0002, ExifShort, 0, "SelfTimer", selfTimerNames),
    typedRow(0x0003, ExifShort, 0, "Compression setting", compressionNames),
    typedRow(0x0004, ExifShort, 0, "Flash mode", flashNames),
    typedRow(0x0005, ExifShort, 0, "Drive mode", driveNames),
    typedRow(0x0007, ExifShort, 0, "Focus Mode", focusModeNames),
    typedRow(0x000A, ExifShort, 0, "Image size", imageSizeNames),
    typedRow(0x000B, ExifShort, 0, "Easy shooting", easyNames),
    typedRow(0x000D, ExifShort, 0, "Contrast", lowNormalHighNames),
    typedRow(0x000E, ExifShort, 0, "Saturation", lowNormalHighNames),
    typedRow(0x000F, ExifShort, 0, "Sharpness", lowNormalHighNames),
    typedRow(0x0010, ExifShort, 0, "ISO value", isoNames),
    typedRow(0x0011, ExifShort, 0, "Metering mode", meteringNames),
    typedRow(0x0013, ExifShort, 0, "AF point", afPointNames),
    typedRow(0x0012, ExifShort, 0, "Focus type", focusTypeNames),
    typedRow(0x0014, ExifShort, 0, "Exposure mode", exposureModeNames),
    typedRow(0x0017, ExifShort, 0, "Focal length [mm]"),
    typedRow(0x0018, ExifShort, 0, "Focal length short / mm"),
};

constexpr ExifValueName whiteBalanceNames[] = {vt(0, TextAuto),   vn(1, "Sunny"),       vn(2, "Cloudy"),
                                               vn(3, "Tungsten"), vn(4, "Fluorescent"), vn(5, "Flash"),
                                               vn(6, "Custom"),   otherwise(TextUnknown)};
constexpr ExifTagEntry shotInfoTable[] = {
    typedRow(0x0007, ExifShort, 0, "White balance", whiteBalanceNames),
};

// ISO speeds written as a number with bit 0x4000 set.
bool canonIsoFormatter(uint32_t position, uint32_t value, std::string& text)
{
    if (position != 16 || value < 21 || !(value & 0x4000)) return false;
    text = formatText("%d", static_cast<int>(value & 0x3FFF));
    return true;
}

// An array of 16-bit values whose first value gives how many to consider.
void canonArray(ExifWalk& walk, const ExifEntry& entry, std::span<const ExifTagEntry> table, bool lengthInBytes)
{
    if (entry.type != ExifShort || entry.count == 0) return;
    size_t available = entry.count;
    ByteReader values = entry.bytes(walk.bigEndian);
    size_t declared = values.u16At(0);
    if (lengthInBytes) declared /= 2;
    exifDecodeArray(walk, table, values, std::min(declared, available), 2,
                    lengthInBytes ? canonIsoFormatter : nullptr);
}

// Texts shown only when their entry has exactly the expected size.
void canonText(ExifWalk& walk, const ExifEntry& entry, uint32_t size, const char* label)
{
    if (entry.size != size) return;
    size_t length = 0;
    while (length < size && entry.value[length]) ++length;
    exifReport(walk, ExifGroupMakernotes, 0, label,
               std::string(reinterpret_cast<const char*>(entry.value), length));
}

void canonEntry(ExifWalk& walk, const ExifEntry& entry)
{
    switch (entry.tag) {
    case 1: canonArray(walk, entry, settingsTable, true); break;
    case 4: canonArray(walk, entry, shotInfoTable, false); break;
    case 6: canonText(walk, entry, 32, "Picture info"); break;
    case 7: canonText(walk, entry, 24, "Firmware version"); break;
    case 9: canonText(walk, entry, 32, "Owner name"); break;
    case 8:
        if (entry.type == ExifLong && entry.size >= 4) {
            uint32_t number = entry.bytes(walk.bigEndian).u32At(0);
            exifReport(walk, ExifGroupMakernotes, 0, "Image number",
                       formatText("%u-%u", number / 10000, number % 10000));
        }
        break;
    default: break;
    }
}

}  // namespace

void canonMakerNote(ExifWalk& walk, size_t note, size_t size)
{
    if (size < 2) return;
    uint32_t n = walk.bytes(walk.bigEndian).u16At(note);
    if (n == 0 || int64_t(12) * n - 10 >= int64_t(size)) return;
    size_t length = walk.size - 6;
    for (uint32_t i = 0; i < n; ++i) {
        ExifEntry entry;
        if (exifReadEntry(walk, note + 2 + size_t(12) * i, 6, length, walk.bigEndian, entry)) canonEntry(walk, entry);
    }
}

}  // namespace fotrix
