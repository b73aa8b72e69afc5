#include "app/settings/general_settings.h"

#include "app/browser/device_folders.h"
#include "app/settings.h"
#include "platform/files/files.h"

#include <climits>
#include <cstdio>
#include <cstdlib>

namespace fotrix {

namespace {

constexpr int32_t kAny = INT32_MIN;  // low bound of a number taken as stored
constexpr int32_t kColourMax = 0xFFFFFF;
constexpr int kPathCapacity = 260;

// One General value: its name, the AppState field it lives in (exactly one of
// the three pointers is set), its default and the range the program can use.
// The ranges keep out values whose use would be a fault: a slide delay of 0
// (a timer that never rests) or of hours, colour bits above 0xFFFFFF, a
// negative tree height, fonts of hundreds of pixels, key actions, modes and
// sizes that mean nothing. A value outside its range reads as the default.
struct GeneralValue {
    const char* name;
    int AppState::*number;
    COLORREF AppState::*colour;
    std::string AppState::*text;
    int32_t defaultValue;
    int32_t low;
    int32_t high;
};

constexpr GeneralValue number(const char* name, int AppState::*field, int32_t def, int32_t low, int32_t high)
{
    return {name, field, nullptr, nullptr, def, low, high};
}
constexpr GeneralValue flag(const char* name, int AppState::*field, int32_t def)
{
    return {name, field, nullptr, nullptr, def, 0, 1};
}
constexpr GeneralValue colour(const char* name, COLORREF AppState::*field)
{
    return {name, nullptr, field, nullptr, 0x808080, 0, kColourMax};
}
constexpr GeneralValue text(const char* name, std::string AppState::*field)
{
    return {name, nullptr, nullptr, field, 0, 0, 0};
}

constexpr int kLastKeyAction = kKeyActionCount - 1;

// In the order the section is read.
const GeneralValue kGeneralValues[] = {
    colour("SlideBackColor", &AppState::slideBackColor),
    colour("ViewBackColor", &AppState::viewBackColor),
    number("TreeViewHeight", &AppState::treeViewHeight, 0, 0, 8192),
    flag("HighQualityThumb", &AppState::highQualityThumb, 0),
    flag("UseSplashScreen", &AppState::useSplashScreen, 1),
    number("SlideDelay", &AppState::slideDelay, 2, 1, 60),
    flag("SlideUseDelay", &AppState::slideUseDelay, 1),
    flag("SlideUseTransition", &AppState::slideUseTransition, 1),
    flag("SlideLandscape", &AppState::slideLandscape, 0),
    flag("SlideLoop", &AppState::slideLoop, 0),
    number("Mode", &AppState::mode, 0, 0, INT32_MAX),  // 5 or more reads as 0 below
    number("Sort", &AppState::sort, 0, kAny, kAny),    // checked by isSortValue
    flag("RotateAuto", &AppState::rotateAuto, 1),
    text("Home", &AppState::homeFolder),
    flag("UseSoundFilename", &AppState::useSoundFilename, 0),
    text("SoundFilename", &AppState::soundFilename),
    number("UserViewMode", &AppState::userViewMode, 4, 0, 4),
    flag("ShowLabel", &AppState::showLabel, 1),
    number("ThumbSize", &AppState::thumbSize, 2, 0, 4),
    number("FontTree", &AppState::fontTree, 0, 0, 48),
    number("FontThumb", &AppState::fontThumb, 0, 0, 48),
    flag("UseScrollbar", &AppState::useScrollbar, 0),
    flag("ViewMove", &AppState::viewMove, 1),
    number("KeyUp", &AppState::keyUp, KeyActionNextPicture, 0, kLastKeyAction),
    number("KeyRight", &AppState::keyRight, KeyActionNextPicture, 0, kLastKeyAction),
    number("KeyLeft", &AppState::keyLeft, KeyActionPreviousPicture, 0, kLastKeyAction),
    number("KeyDown", &AppState::keyDown, KeyActionPreviousPicture, 0, kLastKeyAction),
    number("KeyReturn", &AppState::keyReturn, KeyActionOpenClose, 0, kLastKeyAction),
    flag("OpenInFull", &AppState::openInFull, 1),
    flag("LabelInFull", &AppState::labelInFull, 1),
    flag("PlayAnimatedGIF", &AppState::playAnimatedGif, 1),
    flag("ExifOrientation", &AppState::exifOrientation, 1),
    flag("RotateLeft", &AppState::rotateLeft, 1),
    flag("ShowExt", &AppState::showExt, 1),
    flag("Recursive", &AppState::recursive, 0),
    number("Fit", &AppState::fit, -1, kAny, kAny),  // any other value than 1 and 2 means shrink large
};

std::vector<std::string> gReplaced;

// What is stored under `name` in the section: false when nothing is.
bool storedValue(const char* name, DWORD* type, DWORD* size)
{
    HKEY key = nullptr;
    std::string path = std::string(kSettingsRoot) + "\\" + kGeneralSection;
    if (RegOpenKeyEx(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    LONG r = RegQueryValueEx(key, name, nullptr, type, nullptr, size);
    RegCloseKey(key);
    return r == ERROR_SUCCESS;
}

bool acceptable(const GeneralValue& value, int32_t stored)
{
    if (value.number == &AppState::sort) {
        int32_t key = stored & ~kSortDescending;
        return (stored & ~(kSortDescending | 0xFF)) == 0 && key >= SortByName && key <= SortByDateTaken;
    }
    return value.low == kAny || (stored >= value.low && stored <= value.high);
}

// A number, or its default when it is stored but damaged (noted in gReplaced).
int32_t readNumberValue(const GeneralValue& value)
{
    DWORD type = 0, size = 0;
    if (!storedValue(value.name, &type, &size)) return value.defaultValue;
    if (type != REG_DWORD || size != sizeof(DWORD)) {
        gReplaced.emplace_back(value.name);
        return value.defaultValue;
    }
    int32_t stored = ReadNumber(kGeneralSection, value.name, value.defaultValue);
    if (!acceptable(value, stored)) {
        gReplaced.emplace_back(value.name);
        return value.defaultValue;
    }
    return stored;
}

// A text, or its default when it is stored but damaged: of another type, or
// longer than the 260 characters the program keeps.
std::string readTextValue(const GeneralValue& value, const std::string& defaultText)
{
    DWORD type = 0, size = 0;
    if (!storedValue(value.name, &type, &size)) return defaultText;
    static const char kTooLong[] = "\x01";  // cannot be stored by the program: only a refused text gives it
    std::string result;
    if (type == REG_SZ) ReadText(kGeneralSection, value.name, kTooLong, result, kPathCapacity);
    if (type != REG_SZ || result == kTooLong) {
        gReplaced.emplace_back(value.name);
        return defaultText;
    }
    return result;
}

// One line for all replaced values (the section is read once a run).
void reportReplaced()
{
    if (gReplaced.empty()) return;
    std::string line = "fotrix: damaged settings read as their defaults: General\\";
    for (size_t i = 0; i < gReplaced.size(); ++i) line += (i ? ", " : "") + gReplaced[i];
    std::fprintf(stderr, "%s\n", line.c_str());
}

std::string defaultTextOf(const GeneralValue& value)
{
    return value.text == &AppState::homeFolder ? PersonalFolder() : std::string();
}

}  // namespace

void ReadGeneralSettings(AppState& state)
{
    gReplaced.clear();
    for (const GeneralValue& value : kGeneralValues) {
        if (value.text) {
            state.*value.text = readTextValue(value, defaultTextOf(value));
        } else if (value.colour) {
            state.*value.colour = static_cast<COLORREF>(readNumberValue(value));
        } else {
            state.*value.number = readNumberValue(value);
        }
    }
    if (state.mode >= ModeFullScreen) state.mode = ModeThumbnails;
    reportReplaced();
}

void WriteGeneralSettings(const AppState& state)
{
    for (const GeneralValue& value : kGeneralValues) {
        if (value.number == &AppState::fit) continue;
        if (value.text) {
            WriteText(kGeneralSection, value.name, (state.*value.text).c_str());
        } else if (value.colour) {
            WriteNumber(kGeneralSection, value.name, static_cast<int32_t>(state.*value.colour));
        } else {
            WriteNumber(kGeneralSection, value.name, state.*value.number);
        }
    }
}

void WriteFitSetting(int fit)
{
    WriteNumber(kGeneralSection, "Fit", fit);
}

const std::vector<std::string>& ReplacedGeneralSettings() { return gReplaced; }

}  // namespace fotrix
