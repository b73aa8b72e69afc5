#pragma once
// Private glue between the JPEG reader and libjpeg: the error manager that
// turns the library's fatal errors into result codes through a saved jump
// context, the two data sources (the picture's stream, a block in memory),
// the EXIF thumbnail search and the quality estimate.
//
// Jump contexts: a fatal error longjmps back to the function that called
// setjmp on `JpegErrors::jump`. The frames in between (libjpeg and the
// callbacks below) hold no C++ objects with destructors, and neither may the
// frame that calls setjmp.
#include <csetjmp>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <span>

#include <jpeglib.h>

namespace fotrix {

struct Stream;

struct JpegErrors {
    jpeg_error_mgr base;  // first, so the library's pointer converts back
    jmp_buf jump;
    int code;             // result code of the last fatal error
    int messageCode;      // the library's message code of the last fatal error
    int warnings;         // warnings seen (a truncated file gives one)
    bool tooManyScans;    // the scan limit stopped the decoder
};

// Largest memory the library may take for one picture (whole-picture
// buffers of progressive files), and the most scans a file may have: a
// small damaged file must not make the decoder allocate gigabytes or pass
// over the coefficients thousands of times.
constexpr long JpegMemoryLimit = 1L << 30;
constexpr int JpegScanLimit = 1000;
// Installs both limits on a created decompressor.
void jpegLimitResources(jpeg_decompress_struct& info);

// Installs the error manager on a decompressor that is not created yet.
// Fatal errors jump with `code` 10 for an empty input or an unsupported
// coding process or precision, 2 for everything else (a file that is not a
// JPEG lets the probing go on). Messages are never printed.
void jpegInstallErrors(jpeg_decompress_struct& info, JpegErrors& errors);

// "JPEG : <the library's text of the last message>" cut to fit `size`.
void jpegMessage(jpeg_decompress_struct& info, char* out, size_t size);

// Reads `stream` from its current position in blocks of 4096 bytes, at most
// `limit` bytes (0: to the end of the file). Running out of data at the very
// start is the fatal "empty input" error; later it is a warning and the
// source supplies an end-of-image marker, so a truncated file decodes to its
// end. The source lives in the decompressor's memory pool.
void jpegStreamSource(jpeg_decompress_struct& info, Stream& stream, uint64_t limit);

// The same over a block in memory (the block must outlive the decompressor).
void jpegMemorySource(jpeg_decompress_struct& info, const uint8_t* data, size_t size);

// Looks for the thumbnail inside an APP1 "Exif" payload. On success `offset`
// and `length` give the thumbnail's bytes inside the payload.
bool exifFindThumbnail(std::span<const uint8_t> payload, size_t& offset, size_t& length);

// Quality factor (1..100) of a file from its quantisation tables (natural
// order, null for a missing table), or -1 when it has no table 0.
int jpegQualityFromTables(const uint16_t* const tables[4]);
int jpegEstimateQuality(const jpeg_decompress_struct& info);

}  // namespace fotrix
