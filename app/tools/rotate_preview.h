#pragma once
// The preview the Rotate, Resize, Adjust and Crop pages share: a view window
// made in the place of a hidden placeholder control, showing the current
// file reduced to the view, with the picture's full width and height below.
#include <string>

#include "imagelib/bitmap.h"
#include "imagelib/load.h"
#include "platform/windows.h"

namespace fotrix {

// Mid-grey, so that white and black pictures both stand out.
constexpr COLORREF kPreviewBackground = RGB(128, 128, 128);

// A view over the placeholder `placeholderId` (which is hidden), id `viewId`,
// fitting its picture to the window.
HWND CreatePreviewView(HWND page, int placeholderId, int viewId);

// Loads `path` reduced to fit `box` (its full size stays in `full`), 0 or
// the library's result.
int LoadPreviewBitmap(const std::string& path, SIZE box, Bitmap& bitmap, FileInfo& full);

// Shows `path` in the view and its size in the two labels ("Width: W").
// Returns the picture's full size (0 x 0 when it could not be read).
SIZE ShowFilePreview(HWND page, HWND view, const std::string& path, int widthLabel, int heightLabel);

// The client size of a window.
SIZE ClientSize(HWND window);

}  // namespace fotrix
