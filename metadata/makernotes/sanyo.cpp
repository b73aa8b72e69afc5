// Sanyo maker notes: "SANYO" and a directory eight bytes in.
#include "metadata/makernotes/makernote.h"

namespace fotrix {

namespace {

constexpr ExifValueName qualityNames[] = {
    vn(0, "Normal/Very Low"),     vn(1, "Normal/Low"),        vn(2, "Normal/Medium Low"),
    vn(3, "Normal/Medium"),       vn(4, "Normal/Medium High"), vn(5, "Normal/High"),
    vn(6, "Normal/Very High"),    vn(7, "Normal/Super High"), vn(256, "Fine/Very Low"),
    vn(257, "Fine/Low"),          vn(258, "Fine/Medium Low"), vn(259, "Fine/Medium"),
    vn(260, "Fine/Medium High"),  vn(261, "Fine/High"),       vn(262, "Fine/Very High"),
    vn(263, "Fine/Super High"),   vn(512, "Super Fine/Very Low"), vn(513, "Super Fine/Low"),
    vn(514, "Super Fine/Medium Low"), vn(515, "Super Fine/Medium"), vn(516, "Super Fine/Medium High"),
    vn(517, "Super Fine/High"),   vn(518, "Super Fine/Very High"), otherwise(TextUnknown),
};
constexpr ExifValueName macroNames[] = {vt(0, TextNormal), vt(1, TextMacro), vn(2, "View"), vt(3, TextManual),
                                        otherwise(TextUnknown)};
constexpr ExifValueName sequentialNames[] = {vt(0, TextNone), vn(1, "Standard"), vn(2, "Best"),
                                             vn(3, "Adjust Exposure"), otherwise(TextUnknown)};
constexpr ExifValueName offOnNames[] = {vt(0, TextOff), vt(1, TextOn), otherwise(TextUnknown)};
constexpr ExifValueName shutterReleaseNames[] = {vn(0, "Record while down"), vn(1, "Press start, press stop"),
                                                 otherwise(TextUnknown)};
constexpr ExifValueName noYesNames[] = {vt(0, TextNo), vt(1, TextYes), otherwise(TextUnknown)};
constexpr ExifValueName sceneNames[] = {vt(0, TextOff), vn(1, "Sport"),  vn(2, "Tv"),
                                        vn(3, "Night"), vn(4, "User 1"), vn(5, "User 2"),
                                        otherwise(TextUnknown)};
constexpr ExifValueName intervalNames[] = {vn(0, "5 frames/sec"), vn(1, "10 frames/sec"), vn(2, "15 frames/sec"),
                                           vn(3, "20 frames/sec"), otherwise(TextUnknown)};
constexpr ExifValueName flashNames[] = {vt(0, TextAuto), vn(1, "Force"), vn(2, "Disabled"), vn(3, "Red eye"),
                                        otherwise(TextUnknown)};

constexpr ExifTagEntry sanyoTable[] = {
    row(0x00FF, "Maker Note Offset"),
    row(0x0100, "Thumbnail"),
    row(0x0200, "Special Mode"),
    row(0x0201, "Quality", qualityNames),
    row(0x0202, "Macro", macroNames),
    row(0x0204, "Digital zoom"),
    row(0x0207, "Software Version"),
    row(0x0208, "Pict Info"),
    row(0x0209, "Camera ID"),
    row(0x020E, "Sequential Shot", sequentialNames),
    row(0x020F, "Wide Range", offOnNames),
    row(0x0210, "Color Adjustment Mode", offOnNames),
    row(0x0213, "QuickShot", offOnNames),
    row(0x0214, "Self Timer", offOnNames),
    row(0x0216, "Voice Memo", offOnNames),
    row(0x0217, "Record Shutter Release", shutterReleaseNames),
    row(0x0218, "Flicker Reduce", offOnNames),
    row(0x0219, "Optical Zoom", offOnNames),
    row(0x021B, "Digital Zoom", offOnNames),
    row(0x021D, "Light Source Special", offOnNames),
    row(0x021E, "Resaved", noYesNames),
    row(0x021F, "Scene Select", sceneNames),
    row(0x0223, "Manual Focus Distance"),
    row(0x0224, "Sequence Shot Interval", intervalNames),
    row(0x0225, "Flash mode", flashNames),
};

}  // namespace

void sanyoMakerNote(ExifWalk& walk, size_t note, size_t size)
{
    if (!startsWithFolded(walk.data + note, size, "sanyo")) return;
    walkStandardMakerDirectory(walk, note + 8, sanyoTable);
}

}  // namespace fotrix
