#pragma once
// The one global record of the application: the display mode, the settings
// of the General section, the child windows, the file list of the browser and
// the state of the viewer. The shell, the browser and the viewer read and
// change it on the user-interface thread only; the thumbnail worker touches
// the file list only while the main thread waits for it.
#include "app/browser/file_entry.h"
#include "app/shell/command_ids.h"
#include "platform/controls/imagelist.h"
#include "platform/windows.h"

#include <string>
#include <vector>

namespace fotrix {

// What the main window shows (the Mode setting keeps 0 to 4 only).
enum ViewMode : int {
    ModeThumbnails = 0,
    ModeList = 1,
    ModeDetails = 2,
    ModeStrip = 3,
    ModeImage = 4,
    ModeFullScreen = 5,
    ModeSlideshow = 6,
};
constexpr int kViewModeCount = 7;

inline bool isBrowseMode(int mode) { return mode >= ModeThumbnails && mode <= ModeStrip; }

// What a hardware key does in the viewer (the KeyUp ... KeyReturn settings).
enum KeyAction : int {
    KeyActionNone = 0,           // arrows scroll the picture by 16 pixels
    KeyActionNextPicture = 1,
    KeyActionPreviousPicture = 2,
    KeyActionOpenClose = 3,      // command 4020
    KeyActionSlideshow = 4,      // command 4019
    KeyActionZoomIn = 5,
    KeyActionZoomOut = 6,
};
constexpr int kKeyActionCount = 7;

// Sort: a SortKey in the low bits, kSortDescending for the reverse order.
enum SortKey : int { SortByName = 0, SortByDate = 1, SortByType = 2, SortBySize = 3, SortByDimensions = 4,
                     SortByDateTaken = 5 };
constexpr int kSortDescending = 0x1000;

struct AppState {
    int mode = ModeThumbnails;
    int userViewMode = 4;
    int returnMode = -1;
    int sort = 0;
    int currentIndex = -1;
    int currentPage = 0;
    int pageCount = 0;
    int multiSelect = 0;
    RECT savedWindowRect{};

    // Settings of the General section (app/settings/general_settings.cpp reads
    // and writes them with their defaults).
    COLORREF viewBackColor = 0x808080;
    COLORREF slideBackColor = 0x808080;
    int highQualityThumb = 0;
    int keyUp = KeyActionNextPicture;
    int keyDown = KeyActionPreviousPicture;
    int keyLeft = KeyActionPreviousPicture;
    int keyRight = KeyActionNextPicture;
    int keyReturn = KeyActionOpenClose;
    int showLabel = 1;
    int showExt = 1;
    int useSplashScreen = 1;
    int thumbSize = 2;
    int slideDelay = 2;
    int slideUseDelay = 1;
    int slideUseTransition = 1;
    int slideLandscape = 0;
    int slideLoop = 0;
    int openInFull = 1;
    int labelInFull = 1;
    int playAnimatedGif = 1;
    int exifOrientation = 1;  // show pictures upright by their EXIF orientation
    int useScrollbar = 0;
    int viewMove = 1;
    int rotateLeft = 1;
    int recursive = 0;

    HWND mainWindow = nullptr;
    HWND treeWindow = nullptr;
    HWND listWindow = nullptr;
    HWND viewWindow = nullptr;
    HWND menuBar = nullptr;

    int fontTree = 0;   // pixels; 0 keeps the control's font
    int fontThumb = 0;
    int treeHidden = 0;
    int listHidden = 0;
    int treeViewHeight = 0;

    // The browser's FileList: list item n always shows files[n].
    std::vector<FileEntry> files;

    // Folder shown, always ending in "/".
    std::string currentFolder;

    // Viewer.
    int rotationAllowed = 1;
    int rotateAuto = 1;
    int rotated = 0;
    int loadedFull = 0;
    int zoomPercent = -1;  // -1: a fit mode
    int fullWidth = 0;
    int fullHeight = 0;
    int requestedWidth = -1;
    int requestedHeight = -1;
    int loadedWidth = 0;
    int loadedHeight = 0;
    int gifFrame = 0;
    int gifFrameCount = 0;

    HIMAGELIST splitterImages = nullptr;
    std::string homeFolder;  // the Home setting; its default is the personal folder
    int useSoundFilename = 0;
    std::string soundFilename;
    int fit = -1;  // the Fit setting as read at start

    // Screen resolution, read once at start.
    int dpiX = 96;
    int dpiY = 96;
};

// The instance; reset to a fresh record at start-up.
extern AppState gApp;

inline int fileCount() { return static_cast<int>(gApp.files.size()); }

}  // namespace fotrix
