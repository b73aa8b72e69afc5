// convertByRows and loadByRows: a load and a writer joined by a row hand-off.
#include "imagelib/convert.h"

#include "imagelib/streaming/row_handoff.h"
#include "imagelib/streaming/save_sink.h"

namespace fotrix {

int convertByRows(const std::string& input, const std::string& output, const LoadParams& load,
                  const SaveParams& save, FileInfo* info)
{
    // A writer that can be handed its rows runs on this thread; any other
    // on a thread of its own.
    std::unique_ptr<SaveSink> sink = SaveSink::forFormat(output, save);
    RowHandoff handoff = sink ? RowHandoff(*sink) : RowHandoff(output, save);
    Bitmap described;  // the load's record: fields only, the rows went to the writer
    const int loaded = loadBitmapHandedOff(input, described, load, info, &handoff);
    bitmapFree(described);
    return handoff.finish(loaded);
}

int loadByRows(const std::string& input, Bitmap& described, const LoadParams& load, FileInfo* info,
               const RowConsumer& consumer)
{
    RowHandoff handoff(consumer);
    const int loaded = loadBitmapHandedOff(input, described, load, info, &handoff);
    return handoff.finish(loaded);
}

int loadByRows(const std::string& input, Bitmap& described, const LoadParams& load, FileInfo* info, RowSink& sink)
{
    RowHandoff handoff(sink);
    const int loaded = loadBitmapHandedOff(input, described, load, info, &handoff);
    return handoff.finish(loaded);
}

}  // namespace fotrix
