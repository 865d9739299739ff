// Heap bytes in use and their peak, counted by replacing the C library's malloc family in
// the benchmark program (off under the sanitizers, which bring their own).
#pragma once

#include <cstdint>

namespace ld::bench {

bool HeapCountingAvailable();
// Starts a measurement: the peak is set to what is in use now.
void ResetHeapPeak();
// Highest heap use since ResetHeapPeak, minus what was in use then.
int64_t HeapPeakSinceReset();

}  // namespace ld::bench
