// The worker thread. It never writes the FileList: each thumbnail it makes
// waits in a result slot until the main thread takes it (WM_USER+1), or until
// the stop hands the remaining ones over before the list changes. So painting
// on the main thread never sees an entry half written.
#include "app/browser/thumbnail_worker.h"

#include "app/browser/browser.h"
#include "app/browser/browser_internal.h"
#include "app/browser/thumbnail_bitmap.h"
#include "imagelib/load.h"
#include "thumbs/thumbnail_cache.h"
#include "thumbs/thumbnail_load.h"
#include "platform/gdi/gdi.h"
#include "platform/sync/sync.h"
#include "platform/window/window.h"

#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace fotrix {

namespace {

struct Result {
    HBITMAP bitmap = nullptr;
    int width = 0;
    int height = 0;
    FileInfo info{};
};

struct Job {
    std::vector<std::string> paths;  // empty for entries that need nothing
    int cellWidth = 0;
    int cellHeight = 0;
    bool highQuality = false;
    std::string cacheRoot;  // the disk cache, read before decoding and written after
    HWND target = nullptr;
    HANDLE stopEvent = nullptr;
};

struct Worker {
    HANDLE thread = nullptr;
    HANDLE stopEvent = nullptr;
    Job* job = nullptr;
    std::mutex lock;
    std::map<int, Result> results;
};
Worker worker;

bool stopRequested(HANDLE stopEvent) { return WaitForSingleObject(stopEvent, 0) != WAIT_TIMEOUT; }

// The load pipeline's cancel callback: a set stop event ends a decode between rows.
int cancelWhenStopped(void* data)
{
    HANDLE stopEvent = static_cast<HANDLE>(data);
    if (!stopRequested(stopEvent)) return 0;
    SetEvent(stopEvent);  // the wait above consumed the auto-reset signal; keep it for the loop
    return 1;
}

void storeResult(int index, const Result& result)
{
    std::lock_guard<std::mutex> guard(worker.lock);
    worker.results[index] = result;
}

DWORD workerMain(void* param)
{
    Job* job = static_cast<Job*>(param);
    for (size_t i = 0; i < job->paths.size(); ++i) {
        if (job->paths[i].empty()) continue;
        Result result;
        if (LoadThumbnail(job->paths[i], job->cellWidth, job->cellHeight, job->highQuality, cancelWhenStopped,
                          job->stopEvent, &result.bitmap, &result.width, &result.height, &result.info,
                          job->cacheRoot) == 0)
            storeResult(static_cast<int>(i), result);
        if (stopRequested(job->stopEvent)) return 0;
        PostMessage(job->target, kThumbnailReadyMessage, 0, static_cast<LPARAM>(i));
    }
    PostMessage(job->target, kThumbnailsDoneMessage, 0, 0);
    return 0;
}

void freeResult(Result& result)
{
    if (result.bitmap) DeleteObject(result.bitmap);
    freeFileInfo(result.info);
}

void commit(FileEntry& entry, Result& result)
{
    if (entry.thumbnail) DeleteObject(entry.thumbnail);
    freeFileInfo(entry.info);
    entry.thumbnail = result.bitmap;
    entry.thumbnailWidth = result.width;
    entry.thumbnailHeight = result.height;
    entry.info = result.info;
    entry.state = EntryThumbnail;
}

// Hands every waiting result to its entry (the list has not changed since
// the worker started) and returns their indexes.
std::vector<int> commitAllResults()
{
    std::vector<int> committed;
    std::lock_guard<std::mutex> guard(worker.lock);
    for (auto& [index, result] : worker.results) {
        if (index < fileCount()) {
            commit(gApp.files[static_cast<size_t>(index)], result);
            committed.push_back(index);
        } else {
            freeResult(result);
        }
    }
    worker.results.clear();
    return committed;
}

// Only the main window's: dialogs of their own use the same message number
// for their own news (a transfer's end, say), which must not be lost here.
void drainReadyMessages()
{
    MSG msg;
    while (PeekMessage(&msg, gApp.mainWindow, kThumbnailReadyMessage, kThumbnailReadyMessage, PM_REMOVE)) {}
}

}  // namespace

int LoadThumbnail(const std::string& path, int cellWidth, int cellHeight, bool highQuality, int (*cancel)(void*),
                  void* cancelData, HBITMAP* bitmap, int* width, int* height, FileInfo* info,
                  const std::string& cacheRoot)
{
    ThumbnailRequest request;
    request.cellWidth = cellWidth;
    request.cellHeight = cellHeight;
    request.highQuality = highQuality;
    request.cancel = cancel;
    request.cancelData = cancelData;
    request.cacheRoot = cacheRoot;
    Bitmap picture;
    const int result = loadThumbnailPicture(path, request, picture, info);
    if (result != 0) return result;
    *bitmap = MakeDeviceBitmap(picture);
    *width = picture.width;
    *height = picture.height;
    bitmapFree(picture);
    if (*bitmap) return 0;
    if (info) freeFileInfo(*info);
    return 1;
}

namespace {
// While a slideshow plays no worker starts, whatever changes the list meanwhile.
bool gWorkerHeld = false;
}  // namespace

void HoldThumbnailWorker(bool hold)
{
    gWorkerHeld = hold;
    if (hold) StopThumbnailWorker();
    else StartThumbnailWorker();
}

void StartThumbnailWorker()
{
    if (worker.thread && !BrowserBusy()) StopThumbnailWorker();  // the last one ended by itself
    if (gWorkerHeld || worker.thread || gApp.files.empty() || !gApp.mainWindow) return;
    Job* job = new Job;
    job->paths.reserve(gApp.files.size());
    for (const FileEntry& entry : gApp.files)
        job->paths.push_back(entry.state == EntryNoThumbnail ? entry.path : std::string());
    job->cellWidth = ThumbnailCellWidth();
    job->cellHeight = ThumbnailCellHeight();
    job->highQuality = gApp.highQualityThumb != 0;
    job->cacheRoot = thumbnailCacheRoot();
    job->target = gApp.mainWindow;
    job->stopEvent = CreateEvent(nullptr, FALSE, FALSE, nullptr);
    worker.stopEvent = job->stopEvent;
    worker.job = job;
    worker.thread = CreateThread(nullptr, 0, workerMain, job, 0, nullptr);
    if (!worker.thread) {
        CloseHandle(worker.stopEvent);
        worker.stopEvent = nullptr;
        delete job;
        worker.job = nullptr;
    }
}

void StopThumbnailWorker()
{
    if (!worker.thread) return;
    SetEvent(worker.stopEvent);
    WaitForSingleObject(worker.thread, INFINITE);
    CloseHandle(worker.thread);
    CloseHandle(worker.stopEvent);
    worker.thread = worker.stopEvent = nullptr;
    delete worker.job;
    worker.job = nullptr;
    drainReadyMessages();
    // The items whose messages were drained still show the texts of an entry without a thumbnail.
    for (int index : commitAllResults()) RefreshItem(index);
}

bool BrowserBusy() { return worker.thread && WaitForSingleObject(worker.thread, 0) == WAIT_TIMEOUT; }

bool TakeThumbnailResult(int index)
{
    std::lock_guard<std::mutex> guard(worker.lock);
    auto found = worker.results.find(index);
    if (found == worker.results.end()) return false;
    if (index < fileCount()) commit(gApp.files[static_cast<size_t>(index)], found->second);
    else freeResult(found->second);
    worker.results.erase(found);
    return true;
}

}  // namespace fotrix
