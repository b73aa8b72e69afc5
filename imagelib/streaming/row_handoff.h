#pragma once
// Hands rows from a load to a save running at the same time, through a band
// of rows reused from top to bottom, so that a conversion never holds the
// whole picture. The load runs on the caller's thread and stores each row in
// the band once the writer is done with the row that had its place before;
// the writer runs on a thread of its own and takes each row once the load has
// stored it. Neither side waits while the other keeps up. A writer that
// needs no loop of its own (a RowSink) is instead handed each row on the
// load's thread as soon as it is stored: no second thread, no switches
// between threads.
#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "imagelib/bitmap.h"
#include "imagelib/load.h"
#include "imagelib/save.h"

namespace fotrix {

class RowHandoff;

// The writer's side of a hand-off: takes `picture` (its pixels are the band)
// row by row from `handoff` and returns 0 or a result code. It begins with
// writerBegins, so that a picture whose rows cannot flow is loaded whole.
using RowConsumer = std::function<int(const Bitmap& picture, RowHandoff& handoff)>;

// A writer that is handed the rows on the load's thread, one call a row.
class RowSink {
public:
    virtual ~RowSink() = default;
    // The picture as the load will finish it (its pixels are not read): 0 to
    // take its rows, ResultLayoutRefused when they cannot go to this writer
    // as they come (the picture is then loaded whole), or an error that
    // fails the conversion.
    virtual int begin(const Bitmap& picture) = 0;
    // The next row, top row first. A non-zero answer stops the load and is
    // the conversion's result; the writer cleans up before it answers.
    virtual int row(const uint8_t* pixels) = 0;
    // The load ended, after begin() and every row() answered 0: returns the
    // writer's result. A writer told that the load failed keeps nothing.
    virtual int end(bool loadSucceeded) = 0;
};

class RowHandoff {
public:
    // The writer is the save pipeline, writing `output` with `params`.
    RowHandoff(std::string output, const SaveParams& params);
    // The writer is `consumer`.
    explicit RowHandoff(RowConsumer consumer);
    // The writer is `sink`, handed each row on the load's thread.
    explicit RowHandoff(RowSink& sink);
    ~RowHandoff();
    RowHandoff(const RowHandoff&) = delete;
    RowHandoff& operator=(const RowHandoff&) = delete;

    // --- the load's side ---
    // The size of band the load should ask for: small for a sink, which
    // takes each row at once; larger for a writer on its own thread, so
    // that the two sides sleep and wake each other rarely and run side by
    // side instead of in turn.
    size_t bandBytes() const { return sink_ ? size_t{128} << 10 : size_t{1} << 20; }
    // Starts the writer on `picture` (described as the load will finish it;
    // its pixels are not read) with a band of `bandRows` rows, and waits until
    // the writer either takes rows top to bottom or gives up. True when rows
    // now flow; false when the picture must be loaded whole instead. Only
    // the first call of a load can start the writer.
    bool start(const Bitmap& picture, int bandRows);
    // The load found that its rows cannot flow: the picture is for the
    // whole-picture path.
    void decline();
    // Whether rows row .. row + count - 1, `stride` bytes apart, are rows
    // of the band side by side.
    bool rowsLieTogether(int row, int count, size_t stride) const;
    // Where those rows go, once the writer is done with the rows they
    // replace; null when the writer has stopped.
    uint8_t* rowsForLoading(int row, int count);
    // Every row above `end` is stored.
    void rowsLoaded(int end);
    // Joins the writer after the load returned `loadResult` and gives the
    // result of the conversion: the writer's error when it stopped the load
    // or failed before taking rows, else the load's, else the writer's.
    // ConvertNeedsWholePicture when rows could not flow.
    int finish(int loadResult);

    // --- the writer's side (called by the save pipeline) ---
    // The writer described the rows it takes: true when they can flow (top
    // row first, one at a time, as the picture stores them).
    bool writerBegins(const RowFormat& format);
    // Stored row `row`, once loaded; rows above it are done with. A row the
    // load never stored reads as zeros, as in a whole picture.
    const uint8_t* rowForWriting(int row);
    // Waits for the load's end: true when it succeeded, so that the file may
    // be kept.
    bool loadSucceeded();

private:
    // Declined: the picture or the writer's rows cannot flow; WriterFailed:
    // the writer failed before taking rows (no file can be made at all).
    enum class Stage { Idle, Starting, Flowing, Declined, WriterFailed };

    void runWriter();
    void endLoad(int result);
    bool startSink();
    void handToSink(int end);

    const RowConsumer consumer_;
    RowSink* const sink_ = nullptr;
    Bitmap view_;  // the writer's picture: pixels point into the band
    std::vector<uint8_t> band_;
    std::vector<uint8_t> zeroRow_;
    int bandRows_ = 0;
    size_t stride_ = 0;

    // Each side sleeps until the other has moved on by half a band, not by
    // one row, so that they do not wake each other for every row. The row
    // counts are atomic so that a side that need not wait takes no lock; a
    // side that waits sets its WaitsFor under the lock, and the other side
    // takes the lock before it wakes it, so no wake-up is lost.
    std::mutex mutex_;
    std::condition_variable changed_;      // stage and ends
    std::condition_variable loaderWakes_;
    std::condition_variable writerWakes_;
    Stage stage_ = Stage::Idle;
    std::atomic<int> loadedRows_{0};    // rows above this are stored
    std::atomic<int> consumedRows_{0};  // rows above this are done with
    std::atomic<int> loaderWaitsFor_{-1};  // consumedRows_ the sleeping load needs
    std::atomic<int> writerWaitsFor_{-1};  // loadedRows_ the sleeping writer needs
    std::atomic<bool> writerEnded_{false};
    bool loadEnded_ = false;
    int loadResult_ = 0;
    bool writerStoppedLoad_ = false;
    int saveResult_ = 0;
    std::thread writer_;
};

// The load and save pipelines with a hand-off attached.
int loadBitmapHandedOff(const std::string& fileName, Bitmap& bitmap, const LoadParams& params, FileInfo* info,
                        RowHandoff* handoff);
int saveBitmapHandedOff(const std::string& fileName, const Bitmap& bitmap, const SaveParams& params,
                        RowHandoff* handoff);

}  // namespace fotrix
