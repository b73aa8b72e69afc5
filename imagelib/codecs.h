#pragma once
// The formats whose codecs come from libraries found at build time: WebP,
// AVIF, HEIF/HEIC and JPEG XL. They join the registry after the 28 built-in
// rows, so their indexes are not fixed: find them by short name ("webp",
// "avif", "heif", "jxl").
namespace fotrix {

// Adds the rows of every codec this build has, with its reader (and the
// WebP writer). Call it after libraryInit, like rawcodecAttach; calling it
// again keeps the rows where they are.
void codecFormatsAttach();

}  // namespace fotrix
