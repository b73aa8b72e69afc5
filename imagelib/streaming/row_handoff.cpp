// The row hand-off between a load and a save: the band, the two row counts
// and the writer's thread (or the sink called on the load's thread).
#include "imagelib/streaming/row_handoff.h"

#include <algorithm>
#include <new>
#include <system_error>

#include "imagelib/convert.h"

namespace fotrix {

RowHandoff::RowHandoff(std::string output, const SaveParams& params)
    : consumer_([output = std::move(output), params](const Bitmap& picture, RowHandoff& handoff) {
          return saveBitmapHandedOff(output, picture, params, &handoff);
      })
{
}

RowHandoff::RowHandoff(RowConsumer consumer) : consumer_(std::move(consumer)) {}

RowHandoff::RowHandoff(RowSink& sink) : sink_(&sink) {}

RowHandoff::~RowHandoff()
{
    if (writer_.joinable() || (sink_ && stage_ == Stage::Flowing && !loadEnded_)) finish(LoadCancelled);
    view_.pixels = nullptr;  // the band is ours, not the bitmap's
    bitmapFree(view_);
}

bool RowHandoff::start(const Bitmap& picture, int bandRows)
{
    std::unique_lock lock(mutex_);
    if (stage_ != Stage::Idle) return false;
    stage_ = Stage::Declined;
    if (bandRows < 1 || picture.bytesPerRow == 0) return false;
    try {
        band_.assign(static_cast<size_t>(bandRows) * picture.bytesPerRow, 0);
        zeroRow_.assign(picture.bytesPerRow, 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    bandRows_ = bandRows;
    stride_ = picture.bytesPerRow;
    view_ = picture;
    view_.comment = nullptr;
    view_.metadata = nullptr;
    bitmapCopyAttributes(view_, picture);  // the load keeps its own comment and metadata
    view_.pixels = band_.data();
    if (sink_) {
        lock.unlock();
        return startSink();
    }
    stage_ = Stage::Starting;
    try {
        writer_ = std::thread(&RowHandoff::runWriter, this);
    } catch (const std::system_error&) {
        stage_ = Stage::Declined;
        return false;
    }
    changed_.wait(lock, [this] { return stage_ != Stage::Starting; });
    if (stage_ == Stage::Flowing) return true;
    lock.unlock();
    writer_.join();
    return false;
}

bool RowHandoff::startSink()
{
    // The rows a sink takes are those a consumer takes with the default RowFormat.
    const int begun = view_.origin & OriginBottom ? ResultLayoutRefused : sink_->begin(view_);
    saveResult_ = begun;
    if (begun == ResultOk) {
        stage_ = Stage::Flowing;
        return true;
    }
    stage_ = begun == ResultLayoutRefused ? Stage::Declined : Stage::WriterFailed;
    writerEnded_ = true;
    return false;
}

void RowHandoff::handToSink(int end)
{
    for (int row = loadedRows_; row < end && !writerEnded_; ++row) {
        const int answer = sink_->row(band_.data() + static_cast<size_t>(row % bandRows_) * stride_);
        consumedRows_ = row + 1;
        if (answer != ResultOk) {
            saveResult_ = answer;
            writerStoppedLoad_ = true;
            writerEnded_ = true;  // the load's next request for a place stops it
        }
    }
}

void RowHandoff::decline()
{
    std::lock_guard lock(mutex_);
    if (stage_ == Stage::Idle) stage_ = Stage::Declined;
}

void RowHandoff::runWriter()
{
    const int result = consumer_(view_, *this);
    std::lock_guard lock(mutex_);
    writerEnded_ = true;
    saveResult_ = result;
    writerStoppedLoad_ = result != ResultOk && !loadEnded_;
    // A writer that ended before taking rows refused the picture's layout
    // (the caller may convert it and save whole) or could not write at all.
    if (stage_ == Stage::Starting) stage_ = result == ResultLayoutRefused ? Stage::Declined : Stage::WriterFailed;
    changed_.notify_all();
    loaderWakes_.notify_all();
}

bool RowHandoff::writerBegins(const RowFormat& format)
{
    const bool flows = !(format.origin & OriginBottom) && format.rowsPerCall == 1 && format.samples != SamplesIndex &&
                       !(view_.origin & OriginBottom);
    std::lock_guard lock(mutex_);
    stage_ = flows ? Stage::Flowing : Stage::Declined;
    changed_.notify_all();
    return flows;
}

bool RowHandoff::rowsLieTogether(int row, int count, size_t stride) const
{
    if (row < 0 || count < 1 || row % bandRows_ + count > bandRows_) return false;
    return count == 1 || stride == stride_;
}

uint8_t* RowHandoff::rowsForLoading(int row, int count)
{
    // The place of row r last held row r - bandRows. A sink is done with
    // every row already.
    const int needed = row + count - bandRows_;
    if (!sink_ && consumedRows_ < needed && !writerEnded_) {
        std::unique_lock lock(mutex_);
        loaderWaitsFor_ = std::min(needed + bandRows_ / 2, loadedRows_.load());
        loaderWakes_.wait(lock, [&] { return writerEnded_ || consumedRows_ >= loaderWaitsFor_; });
        loaderWaitsFor_ = -1;
    }
    if (writerEnded_) return nullptr;
    return band_.data() + static_cast<size_t>(row % bandRows_) * stride_;
}

void RowHandoff::rowsLoaded(int end)
{
    if (end <= loadedRows_) return;
    if (sink_) handToSink(end);
    loadedRows_ = end;
    const int waits = writerWaitsFor_;
    if (waits >= 0 && end >= waits) {
        std::lock_guard lock(mutex_);
        writerWakes_.notify_one();
    }
}

const uint8_t* RowHandoff::rowForWriting(int row)
{
    if (row > consumedRows_) {
        consumedRows_ = row;
        const int waits = loaderWaitsFor_;
        if (waits >= 0 && row >= waits) {
            std::lock_guard lock(mutex_);
            loaderWakes_.notify_one();
        }
    }
    if (loadedRows_ <= row) {
        std::unique_lock lock(mutex_);
        if (loadedRows_ <= row && !loadEnded_) {
            writerWaitsFor_ = std::min({row + 1 + bandRows_ / 2, view_.height, consumedRows_ + bandRows_});
            writerWakes_.wait(lock, [&] { return loadEnded_ || loadedRows_ >= writerWaitsFor_; });
            writerWaitsFor_ = -1;
        }
    }
    const int loaded = loadedRows_;
    if (row < 0 || loaded <= row || row + bandRows_ < loaded) return zeroRow_.data();
    return band_.data() + static_cast<size_t>(row % bandRows_) * stride_;
}

bool RowHandoff::loadSucceeded()
{
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return loadEnded_; });
    return loadResult_ == LoadOk;
}

void RowHandoff::endLoad(int result)
{
    std::lock_guard lock(mutex_);
    if (loadEnded_) return;
    loadEnded_ = true;
    loadResult_ = result;
    changed_.notify_all();
    writerWakes_.notify_all();
}

int RowHandoff::finish(int loadResult)
{
    endLoad(loadResult);
    if (writer_.joinable()) writer_.join();
    if (sink_ && stage_ == Stage::Flowing && !writerEnded_) {
        saveResult_ = sink_->end(loadResult == LoadOk);
        writerEnded_ = true;
    }
    std::lock_guard lock(mutex_);
    switch (stage_) {
    case Stage::Idle:
        // A load that failed before the picture was described fails the same way whole.
        return loadResult != LoadOk ? loadResult : ConvertNeedsWholePicture;
    case Stage::WriterFailed: return saveResult_;
    case Stage::Flowing: break;
    default: return ConvertNeedsWholePicture;
    }
    if (writerStoppedLoad_) return saveResult_;
    return loadResult != LoadOk ? loadResult : saveResult_;
}

}  // namespace fotrix
