// SaveSink: the save pipeline's steps around a pushed writer.
#include "imagelib/streaming/save_sink.h"

#include "imagelib/save/save_steps.h"

namespace fotrix {

std::unique_ptr<SaveSink> SaveSink::forFormat(std::string output, const SaveParams& params)
{
    const FormatEntry* entry = formatEntry(params.format);
    std::unique_ptr<PushedWriter> writer = entry ? pushedWriterFor(entry->writeFunction) : nullptr;
    if (!writer) return nullptr;
    return std::make_unique<SaveSink>(std::move(output), params, std::move(writer));
}

SaveSink::SaveSink(std::string output, const SaveParams& params, std::unique_ptr<PushedWriter> writer)
    : output_(std::move(output)), params_(params), writer_(std::move(writer))
{
}

SaveSink::~SaveSink()
{
    if (writing_) stop(ResultCancelled);
}

int SaveSink::begin(const Bitmap& picture)
{
    // The picture lives in the hand-off until the load has ended.
    const int prepared = prepareSave(context_, output_, picture, params_, nullptr);
    if (prepared != ResultOk) return prepared;
    writing_ = true;
    const int begun = writer_->begin(context_);
    return begun == ResultOk ? ResultOk : stop(begun);
}

int SaveSink::row(const uint8_t* pixels)
{
    if (!writing_) return ResultCancelled;
    countRowTaken(context_);
    const int written = writer_->row(pixels);
    return written == ResultOk ? ResultOk : stop(written);
}

int SaveSink::end(bool loadSucceeded)
{
    if (!writing_) return ResultCancelled;
    // Rows written while loading make a file only if the whole load succeeded.
    if (!loadSucceeded) return stop(ResultCancelled);
    const int ended = writer_->end();
    writing_ = false;
    return endSave(context_, ended);
}

// Ends a save that failed: the temporary file goes, the target stays as it was.
int SaveSink::stop(int result)
{
    writing_ = false;
    writer_.reset();  // ends its compression and the row service
    return endSave(context_, result);
}

}  // namespace fotrix
