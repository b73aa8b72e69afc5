#pragma once
// Numbers of the program's own resources: the main menu and its menu bar, the
// view's pop-up menu, the tool-button and splitter bitmaps, the icon, the
// start-screen picture and the dialog templates.
namespace fotrix {

// Menu resource and menu-bar resource 102: pop-ups File, View, Tools and the
// favorites pop-up (fourth, holding only the placeholder item 4147, which the
// favorites handler replaces by the favorites and item 4143).
inline constexpr int kMenuMain = 102;
// The view's tap-and-hold menu: one pop-up (take GetSubMenu(menu, 0)) with
// Larger 4185, Smaller 4186 and Screen 4122.
inline constexpr int kMenuViewPopup = 185;

// Tool-button images, side by side, mask colour kToolButtonMask: 0 slideshow,
// 1 open/view, 2 properties, 3 delete, 4 favorites, 5 save.
inline constexpr int kBitmapToolButtons = 114;          // 6 x 16x16
inline constexpr int kBitmapToolButtonsDisabled = 128;  // 6 x 16x16, greyed
inline constexpr int kBitmapToolButtons32 = 152;        // 6 x 32x32
inline constexpr int kBitmapToolButtonsDisabled32 = 154;
inline constexpr int kToolButtonImageCount = 6;
inline constexpr unsigned kToolButtonMask = 0xC4C4C4;   // COLORREF (grey: the same either way)

// Splitter buttons: four 31x6 images, mask colour kSplitterMask: 0 hide the
// tree, 1 show the tree, 2 hide the list, 3 show the list.
inline constexpr int kBitmapSplitter = 192;
inline constexpr int kSplitterImageWidth = 31;
inline constexpr int kSplitterImageHeight = 6;
inline constexpr unsigned kSplitterMask = 0xFF00FF;

inline constexpr int kIconApp = 101;

// The start-screen picture: raw resource of type "SPLASH" (a zip archive whose
// first entry is a stored 240x320 8-bit BMP).
inline constexpr const char* kSplashType = "SPLASH";
inline constexpr int kSplashResource = 177;

// Dialog templates.
inline constexpr int kDialogAbout = 4014;

}  // namespace fotrix
