#pragma once
// Writers that can be handed their rows one at a time, on the thread that
// loads them, instead of pulling each row from the row service in a loop of
// their own. A conversion into such a format runs on one thread: no second
// thread, no waking each other every few rows.
#include <memory>

#include "imagelib/formats.h"
#include "imagelib/save.h"

namespace fotrix {

class PushedWriter {
public:
    virtual ~PushedWriter() = default;
    // After the save pipeline's checks (save/save_steps.h): opens the file
    // and writes what comes before the rows. 0 or a result code.
    virtual int begin(WriterContext& context) = 0;
    // The next row, top row first, as the bitmap stores it. 0 or a result
    // code; after a failure the writer takes no more rows.
    virtual int row(const uint8_t* stored) = 0;
    // Writes what follows the last row and lets go of the writer's state.
    // 0 or a result code. The file itself is closed by the pipeline.
    virtual int end() = 0;
};

// The pushed form of the table's writer `write`, or null when that writer
// only pulls its rows.
std::unique_ptr<PushedWriter> pushedWriterFor(WriteFunction write);

// The writers' pushed forms.
std::unique_ptr<PushedWriter> pushedJpegWriter();

}  // namespace fotrix
