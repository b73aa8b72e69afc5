#include "app/viewer/view_trace.h"

#include <cstdio>
#include <cstdlib>

namespace fotrix {

bool ViewTraceOn()
{
    static const bool on = std::getenv("FOTRIX_TRACE_VIEW") != nullptr;
    return on;
}

void TraceViewLoad(long long micros, bool ahead)
{
    std::fprintf(stderr, "fotrix: view load %lld us ahead %d\n", micros, ahead ? 1 : 0);
}

void TraceTransition(int effect, int steps, long long totalMicros, long long maxMicros)
{
    std::fprintf(stderr, "fotrix: transition %d steps %d draw mean %lld us max %lld us\n", effect, steps,
                 steps > 0 ? totalMicros / steps : 0, maxMicros);
}

}  // namespace fotrix
