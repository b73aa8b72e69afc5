#pragma once
// Timings of the viewer for bench/viewer.sh: with FOTRIX_TRACE_VIEW set in
// the environment, each picture shown and each transition report how long
// they took on stderr ("fotrix: ..." lines). Without it nothing is measured.
#include <chrono>

namespace fotrix {

bool ViewTraceOn();

// Microseconds since `start`.
inline long long MicrosSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start).count();
}

// "fotrix: view load US us ahead A" for a picture shown (A: 1 when it came
// from decode-ahead).
void TraceViewLoad(long long micros, bool ahead);
// "fotrix: transition E steps N draw mean US us max US us".
void TraceTransition(int effect, int steps, long long totalMicros, long long maxMicros);

}  // namespace fotrix
