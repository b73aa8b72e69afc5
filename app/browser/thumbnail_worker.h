#pragma once
// The ThumbnailWorker: one background thread that loads the thumbnail of every
// entry still without one and posts WM_USER+1 (lParam: the index) to the main
// window for each, then WM_USER+2. The FileList changes only while it is
// stopped; its results are handed over on the main thread.
#include "app/browser/file_entry.h"

namespace fotrix {

constexpr UINT kThumbnailReadyMessage = WM_USER + 1;
constexpr UINT kThumbnailsDoneMessage = WM_USER + 2;

// Starts a worker from the first entry when none runs and the list is not empty.
void StartThumbnailWorker();
// Holds the worker while a slideshow plays (stopped, and not started again
// by changes to the list meanwhile), or lets it go on from where it was.
void HoldThumbnailWorker(bool hold);
// Whether a worker thread is running now.
bool BrowserBusy();

// Moves the loaded thumbnail of entry `index` into the entry (main thread);
// false when the worker left none for it.
bool TakeThumbnailResult(int index);

// Loads one file as the worker does, into a cell of the given size, through
// the disk cache at `cacheRoot` (empty: none). For the worker and its tests;
// `cancel` is asked between rows (nonzero stops).
int LoadThumbnail(const std::string& path, int cellWidth, int cellHeight, bool highQuality,
                  int (*cancel)(void*), void* cancelData, HBITMAP* bitmap, int* width, int* height, FileInfo* info,
                  const std::string& cacheRoot = {});

}  // namespace fotrix
