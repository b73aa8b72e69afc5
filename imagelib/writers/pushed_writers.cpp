// Which of the table's writers can be handed their rows.
#include "imagelib/writers/pushed_writer.h"
#include "imagelib/writers/writers.h"

namespace fotrix {

std::unique_ptr<PushedWriter> pushedWriterFor(WriteFunction write)
{
    struct Pushed {
        WriteFunction write;
        std::unique_ptr<PushedWriter> (*make)();
    };
    static constexpr Pushed table[] = {
        {writeJpeg, pushedJpegWriter},
    };
    for (const Pushed& pushed : table)
        if (pushed.write == write) return pushed.make();
    return nullptr;
}

}  // namespace fotrix
