// The 28 built-in formats. A row without a reader does not claim CanRead;
// the fourteen camera-raw rows share the raw decoder's entry point.
#include "imagelib/registry/format_table.h"

#include "imagelib/readers/readers.h"
#include "imagelib/writers/writers.h"

namespace fotrix {

namespace {

constexpr uint32_t Probe = ProbeBySignature;
constexpr ReadFunction RawReader = nullptr;  // camera-raw previews join with their decoder

const FormatEntry formatTable[] = {
    {Probe, "jpeg", "JPEG / JFIF", readJpeg, writeJpeg, jpegWriterTypes, {"jpg", "jpeg", "jif", "jfif", "J", "jpe"}},
    {Probe, "tga", "Truevision Targa", readTga, writeTga, acceptEveryLayout, {"tga", "targa", "pix", "bpx", "ivb"}},
    {Probe, "bmp", "Windows Bitmap", readBmp, writeBmp, acceptEveryLayout, {"bmp", "rle", "vga", "rl4", "rl8", "sys"}},
    {Probe, "gif", "CompuServe GIF", readGif, writeGif, gifWriterTypes, {"gif", "giff"}},
    {Probe, "png", "Portable Network Graphics", readPng, writePng, pngWriterTypes, {"png"}},
    {0, "2bp", "Pocket PC Bitmap", readBmp, nullptr, nullptr, {"2bp"}},
    {Probe, "tiff", "TIFF Revision 6", readTiff, nullptr, nullptr, {"tif", "tim", "tiff"}},
    {Probe, "pcx", "Zsoft Publisher's Paintbrush", readPcx, nullptr, nullptr, {"pcx", "pcc", "dcx"}},
    {Probe, "pbm", "Portable Bitmap", readPnm, nullptr, nullptr, {"pbm", "rpbm", "ppma"}},
    {Probe, "pgm", "Portable Greyscale", readPnm, nullptr, nullptr, {"pgm", "rpgm"}},
    {Probe, "ppm", "Portable Pixmap", readPnm, nullptr, nullptr, {"ppm", "rppm"}},
    {Probe, "pnm", "Portable Image", readPnm, nullptr, nullptr,
     {"pnm", "rpnm", "pbm", "rpbm", "pgm", "rpgm", "ppm", "rppm"}},
    {Probe, "ico", "Windows Icon", readIco, nullptr, nullptr, {"ico"}},
    {Probe, "psd", "Adobe Photoshop", readPsd, nullptr, nullptr, {"psd"}},
    {0, "crw", "Canon PowerShot", RawReader, nullptr, nullptr, {"crw"}},
    {0, "nef", "Nikon RAW", RawReader, nullptr, nullptr, {"nef", "mos"}},
    {0, "raf", "Fuji S2 RAW", RawReader, nullptr, nullptr, {"raf"}},
    {0, "mrw", "Minolta DiMAGE RAW", RawReader, nullptr, nullptr, {"mrw"}},
    {0, "orf", "Olympus RAW", RawReader, nullptr, nullptr, {"orf"}},
    {0, "pef", "Pentax *ist D", RawReader, nullptr, nullptr, {"pef"}},
    {0, "srf2", "Sony DSC-F828 RAW", RawReader, nullptr, nullptr, {"srf"}},
    {0, "sr2", "Sony RAW", RawReader, nullptr, nullptr, {"sr2", "arw"}},
    {0, "srf", "Panasonic DMC-LC1 RAW", RawReader, nullptr, nullptr, {"srf"}},
    {0, "x3f", "Sigma RAW", RawReader, nullptr, nullptr, {"x3f"}},
    {0, "cr2", "Canon EOS-1D Mark II RAW", RawReader, nullptr, nullptr, {"cr2"}},
    {0, "dcr", "Kodak Pro Digital RAW", RawReader, nullptr, nullptr, {"dcr"}},
    {0, "dng", "DNG", RawReader, nullptr, nullptr, {"dng"}},
    {0, "raw", "Camera RAW", RawReader, nullptr, nullptr, {"raw", "rw2"}},
};

static_assert(std::size(formatTable) == 28, "the format table has 28 rows");

}  // namespace

std::span<const FormatEntry> builtInFormats() { return formatTable; }

}  // namespace fotrix
