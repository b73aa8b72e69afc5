#pragma once
// Writes a Bitmap as a PAM (P7) file in picture order, 8 bits a sample (16 for
// deep samples): GRAYSCALE, RGB, RGB_ALPHA or CMYK. The file appears whole
// or not at all: it is written beside the target and renamed over it once
// complete (a device such as /dev/null is written in place).
#include <memory>
#include <string>

#include "fileio/atomic_replace.h"
#include "imagelib/bitmap.h"
#include "imagelib/streaming/row_handoff.h"

namespace cli {

// 0, or the library's code 5 (cannot create) / 6 (write error).
int writePam(const fotrix::Bitmap& bitmap, const std::string& fileName);

class PamRows;

// A PAM being written, for rows that arrive while the picture loads: the
// sink of a row hand-off (fotrix::loadByRows), written on the load's
// thread. Keeps the file only when the load succeeded; its results are 0, 6
// for a write error, or 15 when the load failed.
class PamOutput : public fotrix::RowSink {
public:
    PamOutput();
    ~PamOutput() override;
    // 0, or 5 when the file cannot be made.
    int open(const std::string& fileName);
    int begin(const fotrix::Bitmap& picture) override;
    int row(const uint8_t* pixels) override;
    int end(bool loadSucceeded) override;
    // The file is not wanted: removes what was written.
    void discard();

private:
    friend int writePam(const fotrix::Bitmap& bitmap, const std::string& fileName);
    void header(const fotrix::Bitmap& picture);
    bool write(const void* data, size_t size);
    int finish();

    fotrix::AtomicReplace replacement_;
    FILE* file_ = nullptr;
    bool inPlace_ = false;  // a device or pipe, written directly
    std::unique_ptr<char[]> buffer_;
    std::unique_ptr<PamRows> rows_;  // the picture's rows as PAM samples, while rows arrive
};

}  // namespace cli
