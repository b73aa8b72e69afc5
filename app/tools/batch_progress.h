#pragma once
// The strip a batch over several files lays over the bottom of the page it
// runs from: the file being written, a progress bar and Cancel. Between two
// files show() lets the windows paint and the strip's Cancel (or Escape)
// reach the run; other input waits until the batch ends, so that nothing
// changes the sheet under a running batch.
#include "platform/windows.h"

#include <string>

namespace fotrix {

class BatchProgress {
public:
    // No strip for a count of 0 (a single file).
    BatchProgress(HWND page, int count);
    ~BatchProgress();
    BatchProgress(const BatchProgress&) = delete;
    BatchProgress& operator=(const BatchProgress&) = delete;

    // Shows file `index` of the batch as the one being written.
    void show(int index, const std::string& path);

private:
    HWND strip_ = nullptr;
};

}  // namespace fotrix
