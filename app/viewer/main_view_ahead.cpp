// Decode-ahead: while the user looks at a picture, the next one in the
// direction of travel is decoded on a worker thread, so that stepping to it
// shows it at once. The worker owns nothing of the application's state: its
// job names the file and the box, and it hands back one Bitmap. One job runs
// at a time; moving elsewhere cancels it.
#include "app/viewer/main_view_internal.h"
#include "imagelib/formats.h"

#include <filesystem>
#include <memory>
#include <string_view>
#include <system_error>
#include <thread>

namespace fotrix {

namespace {

// What a file looked like when its decoding began: a picture rewritten or
// removed since is decoded again rather than shown stale.
struct FileStamp {
    std::uintmax_t size = 0;
    std::filesystem::file_time_type written{};
    bool exists = false;
    bool operator==(const FileStamp&) const = default;
};

FileStamp stampOf(const std::string& path)
{
    std::error_code error;
    FileStamp stamp;
    stamp.size = std::filesystem::file_size(path, error);
    if (error) return FileStamp{};
    stamp.written = std::filesystem::last_write_time(path, error);
    if (error) return FileStamp{};
    stamp.exists = true;
    return stamp;
}

// Pictures decoded ahead hold at most this many pixels (a 24-bit picture of
// 8 M pixels is 24 MB); larger ones are decoded when they are shown.
constexpr long long kAheadPixelBudget = 8LL * 1024 * 1024;

struct AheadWork {
    DecodeJob job;
    FileStamp stamp;
    std::atomic<bool> cancel{false};
    std::atomic<bool> done{false};
    // Written by the worker before `done` is set, read after the join.
    Bitmap bitmap{};
    int result = 0;
    std::thread thread;

    ~AheadWork()
    {
        cancel = true;
        if (thread.joinable()) thread.join();
        bitmapFree(bitmap);
    }
};

// Main thread only.
std::unique_ptr<AheadWork> gAhead;
int gTaken = 0;

}  // namespace

void DecodeAheadStart(const DecodeJob& job)
{
    if (gAhead && gAhead->job == job && !(gAhead->done && gAhead->result != 0)) return;
    gAhead.reset();  // cancels and joins the job under way
    auto work = std::make_unique<AheadWork>();
    work->job = job;
    work->stamp = stampOf(job.path);
    if (!work->stamp.exists) return;
    HWND notify = gApp.mainWindow;
    AheadWork* w = work.get();
    work->thread = std::thread([w, notify] {
        w->result = RunDecodeJob(w->job, w->bitmap, &w->cancel);
        w->done = true;
        if (notify) PostMessage(notify, kDecodeAheadDone, 0, 0);
    });
    gAhead = std::move(work);
}

bool DecodeAheadTake(const DecodeJob& job, Bitmap& bitmap)
{
    if (!gAhead) return false;
    // Another picture is wanted: the job under way is cancelled.
    std::unique_ptr<AheadWork> work = std::move(gAhead);
    if (!(work->job == job)) return false;
    if (work->thread.joinable()) work->thread.join();
    // A failure is decoded again by the caller, so that its message tells
    // what the file is like now.
    if (work->result != 0 || !(stampOf(job.path) == work->stamp)) return false;
    bitmap = work->bitmap;
    work->bitmap = Bitmap{};
    ++gTaken;
    return true;
}

DecodeJob DecodeAheadJob() { return gAhead ? gAhead->job : DecodeJob{}; }

int DecodeAheadTaken() { return gTaken; }

bool DecodeAheadBusy() { return gAhead && !gAhead->done; }

void OnDecodeAheadDone()
{
    if (gAhead && gAhead->done && gAhead->thread.joinable()) gAhead->thread.join();
}

void StopDecodeAhead() { gAhead.reset(); }

void DecodeAheadAfter(int index, int step)
{
    const int count = fileCount();
    if (count < 2 || index < 0 || index >= count) return;
    const int next = (index + step + count) % count;
    const FileEntry& entry = gApp.files[static_cast<size_t>(next)];
    if (next == index || entry.state == EntryAlbum) {
        StopDecodeAhead();
        return;
    }
    FileInfo info{};
    if (getFileInfo(entry.path, -1, ViewerInfoOptions(), info, 0) != 0) {
        freeFileInfo(info);
        StopDecodeAhead();
        return;
    }
    // Animated GIF files are read by the animation reader when shown.
    const char* name = formatShortName(info.formatIndex);
    bool animation = gApp.playAnimatedGif && name && std::string_view(name) == "gif";
    DecodeBox box;
    DecodeJob job = MakeDecodeJob(entry.path, 0, info, ShownOrientation(info), nullptr, &box);
    long long pixels = box.reduced() ? static_cast<long long>(box.width) * box.height
                                     : static_cast<long long>(info.width) * info.height;
    freeFileInfo(info);
    if (animation || pixels > kAheadPixelBudget) {
        StopDecodeAhead();
        return;
    }
    DecodeAheadStart(job);
}

}  // namespace fotrix
