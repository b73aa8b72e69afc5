// Sigma and Foveon maker notes: "SIGMA" or "FOVEO" and a directory ten bytes in.
#include "metadata/makernotes/makernote.h"

namespace fotrix {

namespace {

constexpr ExifTagEntry sigmaTable[] = {
    typedRow(0x0002, ExifAscii, 0, "Serial Number"),
    typedRow(0x0003, ExifAscii, 0, "Drive mode"),
    typedRow(0x0004, ExifAscii, 0, "Resolution Mode"),
    typedRow(0x0005, ExifAscii, 0, "AF Mode"),
    typedRow(0x0006, ExifAscii, 0, "Focus Setting"),
    typedRow(0x0007, ExifAscii, 0, "White balance"),
    typedRow(0x0008, ExifAscii, 0, "Exposure mode"),
    typedRow(0x0009, ExifAscii, 0, "Metering mode"),
    typedRow(0x000A, ExifAscii, 0, "Lens"),
    typedRow(0x000B, ExifAscii, 0, "Color Space"),
    typedRow(0x000C, ExifAscii, 0, "Exposure Compensation"),
    typedRow(0x000D, ExifAscii, 0, "Contrast"),
    typedRow(0x000E, ExifAscii, 0, "Shadow"),
    typedRow(0x000F, ExifAscii, 0, "Highlight"),
    typedRow(0x0010, ExifAscii, 0, "Saturation"),
    typedRow(0x0011, ExifAscii, 0, "Sharpness"),
    typedRow(0x0012, ExifAscii, 0, "X3 Fill Light"),
    typedRow(0x0014, ExifAscii, 0, "Color Adjustement"),
    typedRow(0x0015, ExifAscii, 0, "Adjustment Mode"),
    typedRow(0x0016, ExifAscii, 0, "Quality"),
    typedRow(0x0017, ExifAscii, 0, "Firmware Mode"),
    typedRow(0x0018, ExifAscii, 0, "Software"),
    typedRow(0x0019, ExifAscii, 0, "Auto Bracket"),
};

}  // namespace

void sigmaMakerNote(ExifWalk& walk, size_t note, size_t size)
{
    const uint8_t* p = walk.data + note;
    if (!startsWithFolded(p, size, "sigma") && !startsWithFolded(p, size, "foveo")) return;
    walkStandardMakerDirectory(walk, note + 10, sigmaTable);
}

}  // namespace fotrix
