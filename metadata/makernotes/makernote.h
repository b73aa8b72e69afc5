#pragma once
// The maker-note decoders, one per maker, each given the note's position and
// size inside the walked block.
#include <cstddef>

#include "metadata/exif_walk.h"

namespace fotrix {

void canonMakerNote(ExifWalk& walk, size_t note, size_t size);
void olympusMakerNote(ExifWalk& walk, size_t note, size_t size);
void fujifilmMakerNote(ExifWalk& walk, size_t note, size_t size);
void nikonMakerNote(ExifWalk& walk, size_t note, size_t size);
void casioMakerNote(ExifWalk& walk, size_t note, size_t size);
void minoltaMakerNote(ExifWalk& walk, size_t note, size_t size);
void sigmaMakerNote(ExifWalk& walk, size_t note, size_t size);
void sanyoMakerNote(ExifWalk& walk, size_t note, size_t size);

// A maker-style directory at `dir` with the standard offset base and byte order.
void walkStandardMakerDirectory(ExifWalk& walk, size_t dir, std::span<const ExifTagEntry> table,
                                MakerFormatter formatter = nullptr);

}  // namespace fotrix
