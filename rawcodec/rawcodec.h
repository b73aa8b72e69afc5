#pragma once
// Camera raw files (CRW, NEF/MOS, RAF, MRW, ORF, PEF, SRF, SR2/ARW, X3F, CR2,
// DCR, DNG, Panasonic RAW): loading one yields the largest JPEG preview the
// camera embedded, decoded by the JPEG reader at the caller's box.
#include "imagelib/reader.h"

namespace fotrix {

// The reader entry of every raw row. 3 when the file cannot be opened, 2 when
// it is not a raw file of a kind we know or holds no usable preview; in the
// information-only mode it describes the full picture (24-bit, one plane).
// Sets the context's orientation (2 or 4) for pictures taken upright.
int readCameraRaw(Stream& stream, ReaderContext& context);

// Attaches readCameraRaw to the raw rows of the registry. Call it after each
// libraryInit; it does nothing before one.
void rawcodecAttach();

}  // namespace fotrix
