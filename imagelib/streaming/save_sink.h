#pragma once
// A save whose writer is handed each row on the load's thread as soon as it
// is stored: the sink of a conversion into a format with a pushed writer
// (imagelib/writers/pushed_writer.h). The file it makes is the one
// saveBitmap makes of the whole picture, put in place only when the load and
// the writer both succeeded.
#include <memory>
#include <string>

#include "imagelib/save.h"
#include "imagelib/streaming/row_handoff.h"
#include "imagelib/writers/pushed_writer.h"

namespace fotrix {

class SaveSink final : public RowSink {
public:
    // Null when the writer of `params.format` only pulls its rows.
    static std::unique_ptr<SaveSink> forFormat(std::string output, const SaveParams& params);

    SaveSink(std::string output, const SaveParams& params, std::unique_ptr<PushedWriter> writer);
    ~SaveSink() override;

    int begin(const Bitmap& picture) override;
    int row(const uint8_t* pixels) override;
    int end(bool loadSucceeded) override;

private:
    int stop(int result);

    const std::string output_;
    const SaveParams params_;
    std::unique_ptr<PushedWriter> writer_;
    WriterContext context_;
    bool writing_ = false;  // begun, not yet ended
};

}  // namespace fotrix
