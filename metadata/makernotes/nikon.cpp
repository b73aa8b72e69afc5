// Nikon maker notes in three forms: type 1 ("Nikon", 0, 1), type 2 ("Nikon",
// 0, 2 and a TIFF header of its own at note + 10), and a bare directory.
#include <cstring>

#include "metadata/exif_format.h"
#include "metadata/makernotes/makernote.h"

namespace fotrix {

namespace {

constexpr ExifValueName qualityNames[] = {
    vn(1, "VGA Basic"),   vn(2, "VGA Normal"),   vn(3, "VGA Fine"),   vn(4, "SXGA Basic"), vn(5, "SXGA Normal"),
    vn(6, "SXGA Fine"),   vn(10, "UXGA Basic"),  vn(11, "UXGA Normal"), vn(12, "UXGA Fine"), otherwise(TextUnknown),
};
constexpr ExifValueName colorNames[] = {vn(1, "Color"), vn(2, "Monochrome"), otherwise(TextUnknown)};
constexpr ExifValueName adjustmentNames[] = {vt(0, TextNormal), vn(1, "Bright(+)"), vn(2, "Bright(-)"),
                                             vn(3, "Contrast(+)"), vn(4, "Contrast(-)"), otherwise(TextUnknown)};
constexpr ExifValueName sensitivityNames[] = {vn(0, "ISO 80"), vn(2, "ISO 160"), vn(4, "ISO 320"),
                                              vn(5, "ISO 100"), otherwise(TextUnknown)};
constexpr ExifValueName whiteBalanceNames[] = {vt(0, TextAuto), vn(2, "Preset"), vn(4, "Daylight"),
                                               vn(5, "Incandescent"), otherwise(TextUnknown)};
constexpr ExifValueName adapterNames[] = {vt(0, TextNone), vn(2, "Fisheye"), otherwise(TextUnknown)};

constexpr ExifTagEntry nikonType1Table[] = {
    typedRow(0x0003, ExifShort, 1, "Image Quality", qualityNames),
    typedRow(0x0004, ExifShort, 1, "Color Mode", colorNames),
    typedRow(0x0005, ExifShort, 1, "Image Adjustement", adjustmentNames),
    typedRow(0x0006, ExifShort, 1, "CCD Sensitivity", sensitivityNames),
    typedRow(0x0007, ExifShort, 1, "White balance", whiteBalanceNames),
    typedRow(0x0008, ExifRational, 1, "Focus"),
    typedRow(0x000A, ExifRational, 1, "Digital zoom"),
    typedRow(0x000B, ExifShort, 1, "Lens Adapter", adapterNames),
    typedRow(0xFFFF, ExifUndefined, 0, "Nikon Unknown"),
};

constexpr ExifValueName flashModeNames[] = {vn(0, "Did Not Fire"), vn(8, "Fired, Commander Mode"),
                                            vn(9, "Fired, TTL Mode"), otherwise(TextUnknown)};

constexpr ExifTagEntry nikonTable[] = {
    typedRow(0x0001, ExifUndefined, 4, "Data version"),
    typedRow(0x0002, ExifLong, 0, "ISO Setting"),
    typedRow(0x0003, ExifAscii, 0, "Color Mode"),
    typedRow(0x0004, ExifAscii, 0, "Image Quality"),
    typedRow(0x0005, ExifAscii, 0, "White balance"),
    typedRow(0x0006, ExifAscii, 0, "Image Sharpening"),
    typedRow(0x0007, ExifAscii, 0, "Focus Mode"),
    typedRow(0x0008, ExifAscii, 0, "Flash Setting"),
    typedRow(0x000B, ExifSShort, 0, "White Balance Fine Tune"),
    typedRow(0x000F, ExifAscii, 0, "ISO Selection"),
    typedRow(0x0013, ExifShort, 0, "ISO setting"),
    typedRow(0x0016, ExifShort, 0, "Image Boundary"),
    typedRow(0x0080, ExifAscii, 0, "Image Adjustement"),
    typedRow(0x0081, ExifAscii, 0, "Tone Compensation"),
    typedRow(0x0082, ExifAscii, 0, "Lens Adapter"),
    typedRow(0x0083, ExifByte, 0, "Lens type"),
    typedRow(0x0084, ExifRational, 0, "Lens"),
    row(0x0085, "Focus Distance"),
    row(0x0086, "Digital zoom"),
    typedRow(0x0087, ExifByte, 0, "Flash mode", flashModeNames),
    row(0x0088, "AF Point"),
    typedRow(0x008D, ExifAscii, 0, "Color hue"),
    typedRow(0x008F, ExifAscii, 0, "Scene mode"),
    typedRow(0x0090, ExifAscii, 0, "Light source"),
    typedRow(0x0092, ExifSShort, 0, "Hue Adjustment"),
    typedRow(0x0094, ExifAscii, 0, "Saturation"),
    typedRow(0x0095, ExifAscii, 0, "Noise Reduction"),
    row(0x0098, "LensID"),
    typedRow(0x00A0, ExifAscii, 0, "Serial Number"),
    typedRow(0x00A7, ExifLong, 0, "Shutter Count"),
    typedRow(0x00A9, ExifAscii, 0, "Image Optimization"),
    typedRow(0x00AA, ExifAscii, 0, "Saturation"),
    typedRow(0x00AB, ExifAscii, 0, "Vari Program"),
};

struct AfPointName {
    uint32_t value;
    const char* name;
};
constexpr AfPointName afPointNames[] = {
    {0x0, "Center"},
    {0x100, "Top"},
    {0x200, "Bottom"},
    {0x300, "Left"},
    {0x400, "Right"},
    {0x1, "Single Area, Center"},
    {0x10002, "Single Area, Top"},
    {0x20004, "Single Area, Bottom"},
    {0x30008, "Single Area, Left"},
    {0x40010, "Single Area, Right"},
    {0x1000001, "Dynamic Area, Center"},
    {0x1010002, "Dynamic Area, Top"},
    {0x1020004, "Dynamic Area, Bottom"},
    {0x1030008, "Dynamic Area, Left"},
    {0x1040010, "Dynamic Area, Right"},
    {0x2000001, "Closest Subject, Center"},
    {0x2010002, "Closest Subject, Top"},
    {0x2020004, "Closest Subject, Bottom"},
    {0x2030008, "Closest Subject, Left"},
    {0x2040010, "Closest Subject, Right"},
};

// "x%.1f" of a rational, or `same` when numerator and denominator are equal.
std::string ratioText(const ExifEntry& entry, bool bigEndian, const char* format, const char* same)
{
    if (entry.size < 8 || (entry.type != ExifRational && entry.type != ExifSRational)) return {};
    ByteReader value = entry.bytes(bigEndian);
    uint32_t n = value.u32At(0), d = value.u32At(4);
    if (n == d) return same;
    return formatText(format, d == 0 ? 0.0 : double(n) / d);
}

void nikonFormatter(const ExifTagEntry& row, const ExifEntry& entry, bool bigEndian, std::string& text)
{
    switch (row.tag) {
    case 0x0085: text = ratioText(entry, bigEndian, "x%.1f m", "N/A"); break;
    case 0x0086: text = ratioText(entry, bigEndian, "x%.1f", "Off"); break;
    case 0x0088: {
        uint32_t value = entry.size >= 4 ? entry.bytes(bigEndian).u32At(0) : 0xFFFFFFFF;
        text.clear();
        for (const AfPointName& name : afPointNames)
            if (name.value == value) text = name.name;
        break;
    }
    case 0x0098: {
        text = "(";
        for (uint32_t i = 0; i < entry.size && i < 128; ++i) text += formatText("%x ", entry.value[i]);
        text += ")";
        break;
    }
    default: break;
    }
}

// The second form: a TIFF header of the note's own at note + 10.
void nikonType2(ExifWalk& walk, size_t note, size_t size)
{
    if (size < 18) return;
    const uint8_t* tiff = walk.data + note + 10;
    bool bigEndian;
    if (tiff[0] == 'M' && tiff[1] == 'M') bigEndian = true;
    else if (tiff[0] == 'I' && tiff[1] == 'I') bigEndian = false;
    else return;
    ByteReader header = walk.bytes(bigEndian).sub(note + 10, 8);
    if (header.u16At(2) != 42) return;
    MakerDirectory d;
    d.base = note + 10;
    d.dir = d.base + header.u32At(4);
    if (d.dir < d.base) return;  // wrapped
    d.bigEndian = bigEndian;
    d.table = nikonTable;
    d.formatter = nikonFormatter;
    exifWalkMakerDirectory(walk, d);
}

}  // namespace

void nikonMakerNote(ExifWalk& walk, size_t note, size_t size)
{
    const uint8_t* p = walk.data + note;
    if (size < 5 || std::memcmp(p, "Nikon", 5) != 0) {
        walkStandardMakerDirectory(walk, note, nikonTable, nikonFormatter);
        return;
    }
    if (size < 7 || p[5] != 0) return;
    if (p[6] == 1) walkStandardMakerDirectory(walk, note + 8, nikonType1Table);
    else if (p[6] == 2) nikonType2(walk, note, size);
}

}  // namespace fotrix
