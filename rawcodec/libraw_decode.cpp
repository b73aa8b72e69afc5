// Full decoding of the sensor data through LibRaw: unpacking, demosaicing,
// white balance, colour conversion to sRGB and the tone curve, then the
// camera's turn. Used when the caller wants the full picture, or the file
// has no preview we can show.
//
// How the camera-raw settings of LoadParams map onto LibRaw's parameters
// (docs/rawcodec.md has the table): rawSettings[0] white balance, [1] the
// demosaicing method, [2] highlights, [3] bit 0 no automatic brightening;
// rawFactors[2] brightness, [3] and [6] red and blue scale on the white
// balance, [4] exposure in stops, [5] noise threshold.
#include <libraw/libraw.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>

#include "imagelib/readers/codec_readers.h"
#include "rawcodec/raw_internal.h"

namespace fotrix::raw {

namespace {

// LibRaw allocates what the file's header asks for; a header may ask for
// much. This caps one allocation (LibRaw answers "out of memory" above it).
constexpr unsigned MemoryLimitMb = 1024;
constexpr int MaxSide = 65535;

struct RawFree {
    void operator()(libraw_data_t* data) const { libraw_close(data); }
};
struct ImageFree {
    void operator()(libraw_processed_image_t* image) const { libraw_dcraw_clear_mem(image); }
};

// LibRaw reports damaged data on stderr unless told otherwise. Its handler
// is told instead, and keeps whether the data ended early (offset -1), which
// LibRaw's result code calls an input/output error.
struct DataTrouble {
    bool endedEarly = false;
};
void noteDataError(void* data, const char*, const int offset)
{
    if (offset < 0) static_cast<DataTrouble*>(data)->endedEarly = true;
}
void quietMemoryError(void*, const char*, const char*) {}

// Some of LibRaw's unpackers do not check their reads: on a file cut short
// they turn stale buffers or zeros into a picture and answer success. Three
// checks stand in for them:
// - the file must hold at least an eighth of a bit a sensel (lossless raw
//   data takes several bits, the lossy kinds more than one);
// - LibRaw's data handler must not have reported the end of the file;
// - unpacking must not ask for more than a few blocks beyond the end (the
//   read-ahead of a whole file), counted by the file LibRaw reads through.
constexpr uint64_t SenselsPerByteLimit = 64;

bool tooSmallForSensor(INT64 fileSize, const libraw_image_sizes_t& sizes)
{
    const uint64_t sensels = uint64_t{sizes.raw_width} * sizes.raw_height;
    return fileSize >= 0 && static_cast<uint64_t>(fileSize) < sensels / SenselsPerByteLimit;
}

// The file as LibRaw reads it, counting what unpacking asks for beyond the end.
class WatchedFile : public LibRaw_file_datastream {
public:
    explicit WatchedFile(const char* name) : LibRaw_file_datastream(name) {}
    static constexpr INT64 MissingLimit = INT64{64} << 10;

    void watch() { watching_ = true; }
    bool ranOut() const { return missing_ > MissingLimit; }

    int read(void* pointer, size_t size, size_t count) override
    {
        if (watching_) {
            const INT64 at = tell(), length = static_cast<INT64>(std::min<uint64_t>(uint64_t{size} * count, 1u << 30));
            if (at + length > this->size()) missing_ += at + length - std::max(at, this->size());
        }
        return LibRaw_file_datastream::read(pointer, size, count);
    }
    int get_char() override
    {
        const int c = LibRaw_file_datastream::get_char();
        if (watching_ && c < 0) ++missing_;
        return c;
    }

private:
    bool watching_ = false;
    INT64 missing_ = 0;
};

int codeOf(int error)
{
    switch (error) {
    case LIBRAW_SUCCESS: return LoadOk;
    case LIBRAW_UNSUFFICIENT_MEMORY:
    case LIBRAW_MEMPOOL_OVERFLOW: return LoadNoMemory;
    case LIBRAW_IO_ERROR: return LoadReadError;
    case LIBRAW_TOO_BIG: return LoadBadData;
    case LIBRAW_FILE_UNSUPPORTED:
    case LIBRAW_REQUEST_FOR_NONEXISTENT_IMAGE: return LoadUnknownFormat;
    case LIBRAW_CANCELLED_BY_CALLBACK: return LoadCancelled;
    default: return LoadCorrupt;
    }
}

int failCutShort(ReaderContext& context)
{
    return readerFail(context, LoadReadError, "Camera RAW : sensor data cut short");
}

int fail(ReaderContext& context, int error, const DataTrouble& trouble = {})
{
    if (error == LIBRAW_IO_ERROR && trouble.endedEarly) return failCutShort(context);
    if (error == LIBRAW_FILE_UNSUPPORTED)
        return readerFail(context, LoadUnknownFormat, "Camera RAW : sensor data of a kind LibRaw lacks");
    char message[64];
    std::snprintf(message, sizeof message, "Camera RAW : %s", libraw_strerror(error));
    return readerFail(context, codeOf(error), message);
}

// LibRaw's demosaicing methods by rawSettings[1].
int demosaicMethod(uint8_t setting)
{
    static constexpr int methods[] = {3 /* AHD */, 0 /* bilinear */, 1 /* VNG */, 2 /* PPG */, 11 /* DHT */,
                                      12 /* AAHD */};
    return setting < std::size(methods) ? methods[setting] : methods[0];
}

void applySettings(libraw_output_params_t& out, const LoadParams& params, bool halfSize)
{
    const uint8_t* s = params.rawSettings;
    const float* f = params.rawFactors;
    out.output_bps = 8;
    out.output_color = 1;  // sRGB
    out.half_size = halfSize ? 1 : 0;
    out.use_camera_wb = s[0] == 0 ? 1 : 0;
    out.use_auto_wb = s[0] == 1 ? 1 : 0;
    out.user_qual = demosaicMethod(s[1]);
    out.highlight = std::min<int>(s[2], 9);
    out.no_auto_bright = (s[3] & 1) ? 1 : 0;
    if (std::isfinite(f[2]) && f[2] > 0) out.bright = std::clamp(f[2], 0.05f, 8.0f);
    if (std::isfinite(f[4]) && f[4] != 0) {
        out.exp_correc = 1;
        out.exp_shift = std::clamp(std::exp2(f[4]), 0.25f, 8.0f);  // LibRaw's range: -2 to +3 stops
    }
    if (std::isfinite(f[5]) && f[5] > 0) out.threshold = std::min(f[5], 10000.0f);
}

// The red and blue scales act on the multipliers the white balance chose.
void scaleWhiteBalance(libraw_data_t& raw, const LoadParams& params)
{
    const float red = params.rawFactors[3], blue = params.rawFactors[6];
    const bool neutral = red == 1.0f && blue == 1.0f;
    if (neutral || !std::isfinite(red) || !std::isfinite(blue) || red <= 0 || blue <= 0) return;
    const float* chosen = raw.params.use_camera_wb && raw.color.cam_mul[0] > 0 ? raw.color.cam_mul : raw.color.pre_mul;
    for (int i = 0; i < 4; ++i) raw.params.user_mul[i] = chosen[i];
    raw.params.user_mul[0] *= std::min(red, 16.0f);
    raw.params.user_mul[2] *= std::min(blue, 16.0f);
}

// The full picture as LibRaw will turn it (flips 5 and 6 are quarter turns).
void uprightSize(const libraw_image_sizes_t& sizes, int& width, int& height)
{
    const bool turned = sizes.flip == 5 || sizes.flip == 6;
    width = turned ? sizes.height : sizes.width;
    height = turned ? sizes.width : sizes.height;
}

ImageHeader describe(int width, int height, int colours, const char* kind)
{
    ImageHeader header;
    imageHeaderDefaults(header);
    header.width = width;
    header.height = height;
    header.planes = 1;
    header.bitsPerPlane = static_cast<int16_t>(colours == 1 ? 8 : 24);
    header.bytesPerPlane = static_cast<uint32_t>(width) * colours;
    header.rowsPerCall = 16;
    header.rowsInOrder = true;
    std::snprintf(header.description, sizeof header.description, "Camera RAW (%s, sensor data)", kind);
    return header;
}

int deliver(ReaderContext& context, const libraw_processed_image_t& image, const char* kind, int fullWidth,
            int fullHeight)
{
    if (image.type != LIBRAW_IMAGE_BITMAP || image.bits != 8 || (image.colors != 1 && image.colors != 3) ||
        image.width < 1 || image.height < 1 ||
        image.data_size < static_cast<unsigned>(image.width) * image.height * image.colors)
        return readerFail(context, LoadCorrupt, "Camera RAW : unexpected decoded picture");
    ImageHeader header = describe(image.width, image.height, image.colors, kind);
    if (image.width != fullWidth || image.height != fullHeight) {  // decoded at half size
        header.fullWidth = static_cast<uint32_t>(fullWidth);
        header.fullHeight = static_cast<uint32_t>(fullHeight);
        header.fullBytes = static_cast<uint32_t>(fullWidth) * image.colors;
        header.fullComponents = image.colors;
    }
    const int begun = beginImage(context, header);
    if (begun != 0) return begun;
    return deliverInterleaved(context, header, image.data, header.bytesPerPlane);
}

}  // namespace

int decodeSensor(Stream& file, ReaderContext& context, const char* kind)
{
    // LibRaw reads through `source` and must be closed before it goes.
    WatchedFile source(file.name.c_str());
    if (!source.valid()) return readerFail(context, LoadCannotOpen, "Camera RAW : cannot open the file");
    std::unique_ptr<libraw_data_t, RawFree> raw(libraw_init(0));
    if (!raw) return LoadNoMemory;
    raw->params.max_raw_memory_mb = MemoryLimitMb;
    DataTrouble trouble;
    libraw_set_dataerror_handler(raw.get(), noteDataError, &trouble);
    libraw_set_memerror_handler(raw.get(), quietMemoryError, nullptr);
    int error = static_cast<LibRaw*>(raw->parent_class)->open_datastream(&source);
    if (error != LIBRAW_SUCCESS) return fail(context, error, trouble);
    const libraw_image_sizes_t& sizes = raw->sizes;
    if (sizes.width < 1 || sizes.height < 1 || sizes.width > MaxSide || sizes.height > MaxSide)
        return readerFail(context, LoadBadData, "Camera RAW : bad sensor size");
    int fullWidth = 0, fullHeight = 0;
    uprightSize(sizes, fullWidth, fullHeight);
    if (context.infoOnly()) {
        ImageHeader header = describe(fullWidth, fullHeight, 3, kind);
        return beginImage(context, header);
    }
    // A box that half the sensor still covers lets LibRaw skip demosaicing.
    const LoadParams& params = context.params;
    const bool halfSize = params.maxWidth > 0 && params.maxHeight > 0 && params.maxWidth * 2 <= sizes.width &&
                          params.maxHeight * 2 <= sizes.height;
    applySettings(raw->params, params, halfSize);
    const bool tooSmall = tooSmallForSensor(source.size(), sizes);
    source.watch();
    if (!tooSmall && (error = libraw_unpack(raw.get())) != LIBRAW_SUCCESS) return fail(context, error, trouble);
    if (tooSmall || trouble.endedEarly || source.ranOut()) return failCutShort(context);
    scaleWhiteBalance(*raw, params);
    if ((error = libraw_dcraw_process(raw.get())) != LIBRAW_SUCCESS) return fail(context, error, trouble);
    std::unique_ptr<libraw_processed_image_t, ImageFree> image(libraw_dcraw_make_mem_image(raw.get(), &error));
    if (!image) return fail(context, error ? error : LIBRAW_UNSUFFICIENT_MEMORY);
    // The picture comes turned as the camera was held: nothing is left to turn.
    context.orientation = 0;
    return deliver(context, *image, kind, fullWidth, fullHeight);
}

}  // namespace fotrix::raw
