#pragma once
// The main window's commands: every menu item, tool button and key sends one
// of these as WM_COMMAND; the command map (app/shell/commands.cpp) has one
// handler each. The numbers are those the menus, language files and scripts use.
#include <cstdint>

namespace fotrix {

enum Command : uint16_t {
    // File ▸ Go to: the n-th folder of the current path (1000 + n), the home
    // folder, the parent, the storage card, the personal folder.
    CmdGoToPathFolder0 = 1000,
    CmdGoToPathFolderLast = 1009,
    CmdGoToHome = 4015,
    CmdGoUp = 4016,
    CmdGoToStorageCard = 4017,
    CmdGoToMyDocuments = 4018,

    CmdAddFavorite = 4150,
    CmdNewFolder = 4022,
    CmdRenameFolder = 4153,
    CmdDeleteFolder = 4023,
    CmdCut = 4024,
    CmdCopy = 4025,
    CmdPaste = 4026,
    CmdDelete = 4027,
    CmdRename = 4028,
    CmdSelectAll = 4048,
    CmdSelectNone = 4049,
    CmdSelectInvert = 4050,
    CmdMultipleSelection = 4051,
    CmdAbout = 4014,
    CmdExit = 4013,

    // View ▸ Mode: 4007 + ViewMode for the first six modes.
    CmdModeThumbnails = 4007,
    CmdModeList = 4008,
    CmdModeDetails = 4009,
    CmdModeStrip = 4010,
    CmdModeImage = 4011,
    CmdModeFullScreen = 4012,
    CmdSlideshow = 4019,
    CmdOpenClose = 4020,

    // View ▸ Sort: 4133 + SortKey, then the two directions.
    CmdSortName = 4133,
    CmdSortDate = 4134,
    CmdSortType = 4135,
    CmdSortSize = 4136,
    CmdSortDimensions = 4137,
    CmdSortAscending = 4138,
    CmdSortDescending = 4139,

    CmdWholeFolderTree = 4226,
    CmdFileNames = 4225,
    CmdPreviousPage = 4223,
    CmdNextPage = 4224,

    CmdZoom150 = 4128,
    CmdZoom200 = 4123,
    CmdZoom300 = 4130,
    CmdZoom400 = 4129,
    CmdZoom75 = 4126,
    CmdZoom50 = 4124,
    CmdZoom25 = 4127,
    CmdActualSize = 4125,
    CmdZoomLarger = 4185,
    CmdZoomSmaller = 4186,
    CmdAutoRotate = 4121,
    CmdFitWindow = 4122,
    CmdFitLargeFiles = 4131,

    CmdConvert = 4054,
    CmdCrop = 4034,
    CmdResize = 4052,
    CmdAdjust = 4055,
    CmdRotate = 4140,
    CmdSharpenSoften = 4151,
    CmdBatchRename = 4162,
    CmdCapture = 4141,
    CmdFind = 4227,
    CmdEmail = 4132,
    CmdSendInfrared = 4187,
    CmdReceiveInfrared = 4188,
    CmdMakeSlideshowProgram = 4152,
    CmdMakeAlbum = 4176,
    CmdProperties = 4030,
    CmdIptcEdit = 4180,
    CmdOptions = 4142,
    CmdSaveAdjusted = 4161,
    CmdOrganizeFavorites = 4143,
    CmdFavorite0 = 10000,
    CmdFavoriteLast = 10009,

    // Drop-down buttons of the menu bar (no handler) and the favorites placeholder.
    CmdMenuFile = 4001,
    CmdMenuView = 4004,
    CmdMenuTools = 4031,
    CmdFavoritesPlaceholder = 4147,
};

// Child windows, timers and private messages of the main window.
enum : int { kTreeControlId = 1000, kListControlId = 1001, kViewControlId = 1002 };
enum : unsigned { kSlideshowTimer = 1000, kCaptureTimer = 1001, kAnimationTimer = 1002 };

}  // namespace fotrix
