// libjpeg error manager and data sources of the JPEG reader.
#include <cstring>

#include "imagelib/readers/jpeg_glue.h"
#include "imagelib/result.h"
#include "imagelib/stream.h"

#include <jerror.h>

namespace fotrix {

namespace {

constexpr size_t SourceBlock = 4096;

// Result codes the reader answers for a fatal library error.
int codeForMessage(int messageCode)
{
    switch (messageCode) {
    case JERR_INPUT_EMPTY:
    case JERR_SOF_UNSUPPORTED:
    case JERR_BAD_PRECISION:  // 12-bit files: a JPEG we cannot decode, not another format
        return ResultCorrupt;
    default:
        return ResultUnknownFormat;
    }
}

void errorExit(j_common_ptr info)
{
    JpegErrors* errors = reinterpret_cast<JpegErrors*>(info->err);
    errors->messageCode = errors->base.msg_code;
    errors->code = codeForMessage(errors->base.msg_code);
    std::longjmp(errors->jump, 1);
}

void outputNothing(j_common_ptr) {}

void emitMessage(j_common_ptr info, int level)
{
    JpegErrors* errors = reinterpret_cast<JpegErrors*>(info->err);
    if (level < 0) {
        errors->warnings++;
        errors->base.num_warnings++;
    }
}

// The end-of-image marker handed to the library when the data runs out.
const JOCTET endOfImage[2] = {0xFF, JPEG_EOI};

struct StreamSource {
    jpeg_source_mgr base;
    Stream* stream;
    uint64_t remaining;  // bytes the source may still read
    bool startOfFile;
    JOCTET buffer[SourceBlock];
};

void initSource(j_decompress_ptr info)
{
    StreamSource* source = reinterpret_cast<StreamSource*>(info->src);
    source->startOfFile = true;
}

boolean fillFromStream(j_decompress_ptr info)
{
    StreamSource* source = reinterpret_cast<StreamSource*>(info->src);
    size_t want = SourceBlock;
    if (source->remaining < want) want = static_cast<size_t>(source->remaining);
    size_t got = want > 0 ? streamRead(*source->stream, source->buffer, want) : 0;
    if (got == 0) {
        if (source->startOfFile) ERREXIT(info, JERR_INPUT_EMPTY);
        WARNMS(info, JWRN_JPEG_EOF);
        source->base.next_input_byte = endOfImage;
        source->base.bytes_in_buffer = 2;
        return TRUE;
    }
    source->remaining -= got;
    source->base.next_input_byte = source->buffer;
    source->base.bytes_in_buffer = got;
    source->startOfFile = false;
    return TRUE;
}

void skipInput(j_decompress_ptr info, long count)
{
    jpeg_source_mgr* source = info->src;
    if (count <= 0) return;
    while (count > static_cast<long>(source->bytes_in_buffer)) {
        count -= static_cast<long>(source->bytes_in_buffer);
        // fill_input_buffer never suspends: it reads a block or supplies EOI.
        source->fill_input_buffer(info);
    }
    source->next_input_byte += count;
    source->bytes_in_buffer -= static_cast<size_t>(count);
}

void termSource(j_decompress_ptr) {}

struct MemorySource {
    jpeg_source_mgr base;
    const JOCTET* data;
    size_t size;
};

void initMemory(j_decompress_ptr) {}

boolean fillFromMemory(j_decompress_ptr info)
{
    // The whole block was handed over at once; running dry means truncation.
    MemorySource* source = reinterpret_cast<MemorySource*>(info->src);
    if (source->size == 0) ERREXIT(info, JERR_INPUT_EMPTY);
    WARNMS(info, JWRN_JPEG_EOF);
    source->base.next_input_byte = endOfImage;
    source->base.bytes_in_buffer = 2;
    return TRUE;
}

void countScans(j_common_ptr common)
{
    j_decompress_ptr info = reinterpret_cast<j_decompress_ptr>(common);
    if (info->input_scan_number <= JpegScanLimit) return;
    reinterpret_cast<JpegErrors*>(info->err)->tooManyScans = true;
    ERREXIT(info, JERR_NOTIMPL);
}

}  // namespace

void jpegLimitResources(jpeg_decompress_struct& info)
{
    info.mem->max_memory_to_use = JpegMemoryLimit;
    auto* progress = static_cast<jpeg_progress_mgr*>(
        info.mem->alloc_small(reinterpret_cast<j_common_ptr>(&info), JPOOL_PERMANENT, sizeof(jpeg_progress_mgr)));
    std::memset(progress, 0, sizeof *progress);
    progress->progress_monitor = countScans;
    info.progress = progress;
}

void jpegInstallErrors(jpeg_decompress_struct& info, JpegErrors& errors)
{
    std::memset(&info, 0, sizeof info);
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = errorExit;
    errors.base.output_message = outputNothing;
    errors.base.emit_message = emitMessage;
    errors.code = 0;
    errors.messageCode = 0;
    errors.warnings = 0;
    errors.tooManyScans = false;
}

void jpegMessage(jpeg_decompress_struct& info, char* out, size_t size)
{
    if (reinterpret_cast<JpegErrors*>(info.err)->tooManyScans) {
        std::snprintf(out, size, "JPEG : More than %d scans", JpegScanLimit);
        return;
    }
    char text[JMSG_LENGTH_MAX] = {};
    info.err->format_message(reinterpret_cast<j_common_ptr>(&info), text);
    std::snprintf(out, size, "JPEG : %s", text);
}

void jpegStreamSource(jpeg_decompress_struct& info, Stream& stream, uint64_t limit)
{
    auto* source = static_cast<StreamSource*>(
        info.mem->alloc_small(reinterpret_cast<j_common_ptr>(&info), JPOOL_PERMANENT, sizeof(StreamSource)));
    source->stream = &stream;
    source->remaining = limit == 0 ? UINT64_MAX : limit;
    source->startOfFile = true;
    source->base.init_source = initSource;
    source->base.fill_input_buffer = fillFromStream;
    source->base.skip_input_data = skipInput;
    source->base.resync_to_restart = jpeg_resync_to_restart;
    source->base.term_source = termSource;
    source->base.next_input_byte = nullptr;
    source->base.bytes_in_buffer = 0;
    info.src = &source->base;
}

void jpegMemorySource(jpeg_decompress_struct& info, const uint8_t* data, size_t size)
{
    auto* source = static_cast<MemorySource*>(
        info.mem->alloc_small(reinterpret_cast<j_common_ptr>(&info), JPOOL_PERMANENT, sizeof(MemorySource)));
    source->data = data;
    source->size = size;
    source->base.init_source = initMemory;
    source->base.fill_input_buffer = fillFromMemory;
    source->base.skip_input_data = skipInput;
    source->base.resync_to_restart = jpeg_resync_to_restart;
    source->base.term_source = termSource;
    source->base.next_input_byte = data;
    source->base.bytes_in_buffer = size;
    info.src = &source->base;
}

}  // namespace fotrix
