// convertByRows: a load and a save joined by a row hand-off.
#include "imagelib/convert.h"

#include "imagelib/streaming/row_handoff.h"

namespace fotrix {

int convertByRows(const std::string& input, const std::string& output, const LoadParams& load,
                  const SaveParams& save, FileInfo* info)
{
    RowHandoff handoff(output, save);
    Bitmap described;  // the load's record: fields only, the rows went to the writer
    const int loaded = loadBitmapHandedOff(input, described, load, info, &handoff);
    bitmapFree(described);
    return handoff.finish(loaded);
}

}  // namespace fotrix
