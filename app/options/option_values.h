#pragma once
// What the options sheet edits: a copy of the settings it shows, taken from
// gApp when the sheet opens and written back only when it closes with OK, so
// that Cancel (or a page never visited) leaves everything as it was.
#include "app/shell/app_state.h"

#include <string>
#include <vector>

namespace fotrix {

// One row of the Associations page: a picture file type and whether the
// program is (to be) its opener. The browser fills the list with what the
// registry says and registers the checked ones after OK.
struct FileTypeChoice {
    std::string extension;    // with its dot: ".jpg"
    std::string description;  // "JPEG - JFIF Compliant"
    bool checked = false;
};
// The list the Associations page shows; filled from the format table (none
// checked) the first time it is asked for while empty.
std::vector<FileTypeChoice>& AssociationChoices();

// The keys of the Buttons page, in the order of its rows.
enum KeyRow : int { KeyRowUp = 0, KeyRowDown, KeyRowLeft, KeyRowRight, KeyRowReturn, kKeyRowCount };
// What the restore button puts back, row by row.
inline constexpr int kDefaultKeyActions[kKeyRowCount] = {
    KeyActionNextPicture, KeyActionPreviousPicture, KeyActionPreviousPicture, KeyActionNextPicture,
    KeyActionOpenClose};

struct OptionValues {
    // General.
    std::string homeFolder;
    int userViewMode = 4;
    std::string language;  // the code chosen in the language list
    int useSplashScreen = 1;
    // Browser.
    int highQualityThumb = 0;
    int thumbSize = 2;
    int showLabel = 1;
    int fontTree = 0;
    int fontThumb = 0;
    int openInFull = 1;
    int showExt = 1;
    // Viewer.
    int viewMove = 1;
    int useScrollbar = 0;
    int rotateLeft = 1;
    COLORREF viewBackColor = 0x808080;
    int labelInFull = 1;
    int playAnimatedGif = 1;
    int exifOrientation = 1;
    // Slideshow.
    int slideUseDelay = 1;
    int slideDelay = 2;
    COLORREF slideBackColor = 0x808080;
    int slideUseTransition = 1;
    int slideLandscape = 0;
    int useSoundFilename = 0;
    std::string soundFilename;
    int slideLoop = 0;
    // Buttons, by KeyRow.
    int keys[kKeyRowCount] = {};
    // Associations.
    std::vector<FileTypeChoice> associations;
};

// The values as the sheet opens: the settings of `state`, the current
// language and the association checks.
OptionValues OptionValuesOf(const AppState& state);
// Writes the settings back (the language and the associations are the
// caller's: they are not part of AppState).
void StoreOptionValues(const OptionValues& values, AppState& state);

}  // namespace fotrix
