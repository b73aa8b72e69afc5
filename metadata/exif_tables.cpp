// The standard EXIF tag tables: IFD0 (also used for the thumbnail directory),
// the EXIF sub-directory, interoperability and GPS, with their value names.
#include "metadata/exif_tables.h"

#include <iterator>

namespace fotrix {

namespace {

struct TextEntry {
    uint32_t id;
    const char* text;
};

// Texts shared by many value-name lists, by number.
constexpr TextEntry textTable[] = {
    {TextUnknown, "Unknown"}, {TextOther, "Other"}, {TextNormal, "Normal"}, {TextManual, "Manual"},
    {TextAuto, "Auto"},       {TextOff, "Off"},     {TextOn, "On"},         {TextNone, "None"},
    {TextYes, "Yes"},         {TextNo, "No"},       {TextMacro, "Macro"},   {TextSoft, "Soft"},
    {TextHard, "Hard"},       {TextLow, "Low"},     {TextHigh, "High"},
};

constexpr ExifValueName orientationNames[] = {
    vn(1, "top-left"),  vn(2, "top-right"), vn(3, "bottom-right"), vn(4, "bottom-left"), vn(5, "left-top"),
    vn(6, "right-top"), vn(7, "right-bottom"), vn(8, "left-bottom"), otherwise(TextUnknown),
};
constexpr ExifValueName positioningNames[] = {vn(1, "centered"), vn(2, "co-sited"), otherwise(TextUnknown)};

constexpr ExifValueName exposureProgramNames[] = {
    vn(0, "Unidentified"),      vt(1, TextManual),
    vt(2, TextNormal),          vn(3, "Aperture priority"),
    vn(4, "Shutter priority"),  vn(5, "Creative (slow)"),
    vn(6, "Action (high-speed)"), vn(7, "Portrait mode"),
    vn(8, "Landscape mode"),    otherwise(TextUnknown),
};
constexpr ExifValueName meteringNames[] = {
    vt(0, TextUnknown), vn(1, "Average"), vn(2, "Center weight"), vn(3, "Spot"),
    vn(4, "Multi-spot"), vn(5, "Multi-segment"), vn(6, "Partial"), otherwise(TextOther),
};
constexpr ExifValueName lightSourceNames[] = {
    vt(0, TextUnknown),         vn(1, "Daylight"),          vn(2, "Fluorescent"), vn(3, "Tungsten"),
    vn(17, "Standard light A"), vn(18, "Standard light B"), vn(19, "Standard light C"),
    vn(20, "D55"),              vn(21, "D65"),              vn(22, "D75"),        otherwise(TextOther),
};
constexpr ExifValueName planeUnitNames[] = {
    vn(1, "Inch"), vn(2, "Inch"), vn(3, "cm"), vn(4, "mm"), vn(5, "um"), otherwise(TextOther),
};
constexpr ExifValueName sensingNames[] = {
    vn(1, "Not defined"),
    vn(2, "One-chip color area sensor"),
    vn(3, "Two-chip color area sensor"),
    vn(4, "Three-chip color area sensor"),
    vn(5, "Color sequential area sensor"),
    vn(6, "Trilinear sensor"),
    vn(7, "Color sequential linear sensor"),
    otherwise(TextOther),
};
constexpr ExifValueName customRenderedNames[] = {vn(0, "Normal process"), vn(1, "Custom process"),
                                                 otherwise(TextOther)};
constexpr ExifValueName exposureModeNames[] = {vt(0, TextAuto), vt(1, TextManual), vn(2, "Auto bracket"),
                                               otherwise(TextOther)};
constexpr ExifValueName whiteBalanceNames[] = {vt(0, TextAuto), vt(1, TextManual), otherwise(TextOther)};
constexpr ExifValueName sceneCaptureNames[] = {vn(0, "Standard"), vn(1, "Landscape"), vn(2, "Portrait"),
                                               vn(3, "Night scene"), otherwise(TextOther)};
constexpr ExifValueName gainControlNames[] = {vt(0, TextNone),          vn(1, "Low gain up"),
                                              vn(2, "High gain up"),    vn(3, "Low gain down"),
                                              vn(4, "High gain down"),  otherwise(TextOther)};
constexpr ExifValueName normalSoftHardNames[] = {vt(0, TextNormal), vt(1, TextSoft), vt(2, TextHard),
                                                 otherwise(TextOther)};
constexpr ExifValueName saturationNames[] = {vt(0, TextNormal), vt(1, TextLow), vt(2, TextHigh),
                                             otherwise(TextOther)};
constexpr ExifValueName distanceRangeNames[] = {vt(0, TextUnknown), vt(1, TextMacro), vn(2, "Close View"),
                                                vn(3, "Distant View"), otherwise(TextOther)};

constexpr ExifValueName northSouthNames[] = {vn(78, "North"), vn(83, "South"), otherwise(TextOther)};
constexpr ExifValueName eastWestNames[] = {vn(69, "East"), vn(87, "West"), otherwise(TextOther)};
constexpr ExifValueName seaLevelNames[] = {vn(0, "Sea Level"), otherwise(TextOther)};
constexpr ExifValueName gpsStatusNames[] = {vn(65, "Measurement In Progress"),
                                            vn(86, "Measurement Interoperability"), otherwise(TextOther)};
constexpr ExifValueName measureModeNames[] = {vn(2, "2-Dimensional Measurement"),
                                              vn(3, "3-Dimensional Measurement"), otherwise(TextOther)};
constexpr ExifValueName northRefNames[] = {vn(77, "Magnetic North"), vn(84, "True North"), otherwise(TextOther)};
constexpr ExifValueName distanceUnitNames[] = {vn(75, "Kilometers"), vn(77, "Miles"), vn(78, "Nautical Miles"),
                                               otherwise(TextOther)};
constexpr ExifValueName differentialNames[] = {vn(0, "No Correction"), vn(1, "Differential Corrected"),
                                               otherwise(TextOther)};

constexpr ExifTagEntry gpsRows[] = {
    typedRow(0x0000, ExifByte, 0, "Version ID"),
    typedRow(0x0001, ExifAscii, 0, "Latitude Ref", northSouthNames),
    typedRow(0x0002, ExifRational, 0, "Latitude"),
    typedRow(0x0003, ExifAscii, 0, "Longitude Ref", eastWestNames),
    typedRow(0x0004, ExifRational, 0, "Longitude"),
    typedRow(0x0005, ExifByte, 0, "Haltitude Ref", seaLevelNames),
    typedRow(0x0006, ExifRational, 0, "Haltitude"),
    typedRow(0x0007, ExifRational, 0, "TimeStamp"),
    typedRow(0x0008, ExifAscii, 0, "Satellites"),
    typedRow(0x0009, ExifAscii, 0, "Status", gpsStatusNames),
    typedRow(0x000A, ExifAscii, 0, "Measure Mode", measureModeNames),
    row(0x000B, "DOP"),
    typedRow(0x000C, ExifAscii, 0, "Speed Ref"),
    typedRow(0x000D, ExifRational, 0, "Speed"),
    typedRow(0x000E, ExifAscii, 0, "Track Ref", northRefNames),
    row(0x000F, "Track"),
    typedRow(0x0010, ExifAscii, 0, "Img Direction Ref"),
    row(0x0011, "Img Direction"),
    typedRow(0x0012, ExifAscii, 0, "Map Datum"),
    typedRow(0x0013, ExifAscii, 0, "Dest Latitude Ref", northSouthNames),
    row(0x0014, "Dest Latitude"),
    typedRow(0x0015, ExifAscii, 0, "Dest Longitude Ref", eastWestNames),
    row(0x0016, "Dest Longitude"),
    typedRow(0x0017, ExifAscii, 0, "Dest Bearing Ref", northRefNames),
    // The distance units name the letters of the distance reference; the
    // bearing itself is a number of degrees.
    row(0x0018, "Dest Bearing"),
    typedRow(0x0019, ExifAscii, 0, "Dest Distance Ref", distanceUnitNames),
    row(0x001A, "Dest Distance"),
    row(0x001B, "Processing Method"),
    row(0x001C, "Area Information"),
    row(0x001D, "Date Stamp"),
    row(0x001E, "Differential", differentialNames),
    // The walker is handed 32 rows; the last one is empty and matches no tag.
    {0xFFFFFFFF, 0, 0, 0, nullptr, nullptr},
};

}  // namespace

const ExifTagEntry exifIfd0Table[] = {
    row(0x0100, "Image width"),
    row(0x0101, "Image length"),
    row(0x0102, "Bits per sample"),
    row(0x0103, "Compression"),
    row(0x0106, "Photometric interpretation"),
    row(0x010A, "Fill order"),
    row(0x010D, "Document name"),
    row(0x010E, "Image description"),
    row(0x010F, "Camera Manufacturer"),
    row(0x0110, "Camera Model"),
    row(0x0111, "Strip offsets"),
    row(0x0112, "Orientation", orientationNames),
    row(0x0115, "Samples per pixel"),
    row(0x0116, "Rows per strip"),
    row(0x0117, "Strip byte counts"),
    row(0x011A, "X Resolution"),
    row(0x011B, "Y Resolution"),
    row(0x011C, "Planar configuration"),
    row(0x0128, "Resolution unit"),
    row(0x012D, "Transfer function"),
    row(0x0131, "Software"),
    row(0x0132, "Date modified"),
    row(0x013B, "Artist"),
    row(0x013E, "WhitePoint"),
    row(0x013F, "Primary chromaticities"),
    row(0x0156, "Transfer range"),
    row(0x0200, "JPEGProc"),
    row(0x0201, "Thumbnail offset"),
    row(0x0202, "Thumbnail length"),
    row(0x0211, "YCbCr Coefficients"),
    row(0x0212, "YCbCr SubSampling"),
    row(0x0213, "YCbCr Positioning", positioningNames),
    row(0x0214, "Reference black white"),
    // TIFF 6.0 and EXIF 2.2 (4.6.5) put the copyright in IFD0; cameras also write it there.
    row(0x8298, "Copyright"),
    {},
};

const ExifTagEntry exifSubIfdTable[] = {
    row(0x828D, "CFA Repeat pattern dim"),
    row(0x828E, "CFA Pattern"),
    row(0x828F, "Battery level"),
    row(0x8298, "Copyright"),
    row(0x829A, "Exposure time [s]"),
    row(0x829D, "F-Number"),
    row(0x83BB, "IPTC/NAA"),
    row(0x8769, "Exif offset"),
    row(0x8773, "Inter color profile"),
    row(0x8822, "Exposure program", exposureProgramNames),
    row(0x8824, "Spectral sensitivity"),
    row(0x8825, "GPS info"),
    row(0x8827, "ISO speed ratings"),
    row(0x8828, "OECF"),
    row(0x9000, "EXIF version"),
    row(0x9003, "Date taken"),
    row(0x9004, "Date digitized"),
    row(0x9101, "Components configuration"),
    row(0x9102, "Compressed bits per pixel"),
    row(0x9201, "Shutter speed [s]"),
    row(0x9202, "Aperture"),
    row(0x9203, "Brightness"),
    row(0x9204, "Exposure bias value"),
    row(0x9205, "Max aperture"),
    row(0x9206, "Subject distance (m)"),
    row(0x9207, "Metering mode", meteringNames),
    row(0x9208, "Light source", lightSourceNames),
    row(0x9209, "Flash"),
    row(0x920A, "Focal length [mm]"),
    row(0x927C, "Maker note"),
    row(0x9286, "User comment"),
    row(0x9290, "SubSecTime"),
    row(0x9291, "SubSecTimeOriginal"),
    row(0x9292, "SubSecTimeDigitized"),
    row(0xA000, "FlashPix Version"),
    row(0xA001, "Colour space"),
    row(0xA002, "Image width"),
    row(0xA003, "Image length"),
    row(0xA005, "Interoperability offset"),
    row(0xA20B, "Flash energy"),
    row(0xA20C, "Spatial frequency response"),
    row(0xA20E, "Focal plane X-Resolution"),
    row(0xA20F, "Focal plane Y-Resolution"),
    row(0xA210, "Focal plane res. unit", planeUnitNames),
    row(0xA214, "Subject location"),
    row(0xA215, "Exposure index"),
    row(0xA217, "Sensing method", sensingNames),
    row(0xA300, "File source"),
    row(0xA301, "Scene type"),
    row(0xA302, "CFA Pattern"),
    row(0xA401, "Custom rendered", customRenderedNames),
    row(0xA402, "Exposure mode", exposureModeNames),
    row(0xA403, "White balance", whiteBalanceNames),
    row(0xA404, "Digital zoom"),
    row(0xA405, "Focal length (35mm)"),
    row(0xA406, "Scene capture type", sceneCaptureNames),
    row(0xA407, "Gain control", gainControlNames),
    row(0xA408, "Contrast", normalSoftHardNames),
    row(0xA409, "Saturation", saturationNames),
    row(0xA40A, "Sharpness", normalSoftHardNames),
    row(0xA40B, "Device Setting Description"),
    row(0xA40C, "Subject distance (m)", distanceRangeNames),
    row(0xA420, "Image unique ID"),
    {},
};

const ExifTagEntry exifInteropTable[] = {
    row(0x0001, "IOP index"),
    row(0x0002, "IOP version"),
    row(0x1001, "IOP width"),
    row(0x1002, "IOP height"),
    {},
};

std::span<const ExifTagEntry> exifGpsTable() { return gpsRows; }

uint32_t exifTypeSize(uint32_t type)
{
    static constexpr uint8_t sizes[13] = {0, 1, 1, 2, 4, 8, 1, 1, 2, 4, 8, 4, 8};
    return type <= 12 ? sizes[type] : 0;
}

const char* exifText(uint32_t id)
{
    for (const TextEntry& entry : textTable)
        if (entry.id == id) return entry.text;
    return "";
}

const char* exifRowLabel(const ExifTagEntry& entry) { return entry.name ? entry.name : exifText(entry.textId); }

const char* exifValueName(const ExifValueName* names, uint32_t value)
{
    const ExifValueName* entry = names;
    while (entry->value != ValueNamesEnd && entry->value != value) ++entry;
    if (entry->name) return entry->name;
    return entry->textId ? exifText(entry->textId) : nullptr;
}

const ExifTagEntry* exifFindRow(const ExifTagEntry* table, uint32_t tag)
{
    for (const ExifTagEntry* entry = table; entry->tag != 0 || entry->name; ++entry)
        if (entry->tag == tag) return entry;
    return nullptr;
}

const ExifTagEntry* exifFindRow(std::span<const ExifTagEntry> table, uint32_t tag)
{
    for (const ExifTagEntry& entry : table)
        if (entry.tag == tag && entry.name) return &entry;
    return nullptr;
}

}  // namespace fotrix
