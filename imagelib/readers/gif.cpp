// GIF 87a/89a reader. One image of the file, chosen by frameIndex, is decoded
// at its own size, without composing it onto the logical screen (the viewer
// plays animations itself). The reader walks every block so that it can count
// the images; images it does not deliver are skipped without decoding.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "imagelib/bytes.h"
#include "imagelib/readers/buffered_input.h"
#include "imagelib/readers/gif_lzw.h"
#include "imagelib/readers/readers.h"

namespace fotrix {

namespace {

constexpr int ExtensionIntroducer = 0x21;
constexpr int ImageSeparator = 0x2C;
constexpr int Trailer = 0x3B;
constexpr int GraphicControlLabel = 0xF9;
constexpr int CommentLabel = 0xFE;
// Comments longer than this are cut; the rest of their sub-blocks is skipped.
constexpr size_t MaxCommentBytes = 65536;

struct ColourTable {
    uint8_t rgb[768] = {};
    int bits = 1;  // 2^bits entries
    bool present = false;
};

struct GifState {
    char version[3] = {};
    ColourTable global;
    ColourTable local;         // the latest local table, for images without any table
    int transparentIndex = -1; // kept until a later graphic control extension changes it
    uint32_t imageCount = 0;
    bool delivered = false;
    bool described = false;    // the information-only mode described the chosen image
    int lastResult = 0;
};

struct Descriptor {
    int width = 0;
    int height = 0;
    bool interlaced = false;
    bool localTable = false;
    int localBits = 1;
};

bool readColourTable(BufferedInput& input, ColourTable& table, int bits)
{
    table.bits = bits;
    table.present = true;
    std::memset(table.rgb, 0, sizeof table.rgb);
    const size_t bytes = size_t{3} << bits;
    return input.read(table.rgb, bytes) == bytes;
}

// Graphic control extension: only the transparent index is kept. It stays in
// force for later images that have no extension of their own; an extension
// whose transparency flag is clear says its image has none.
void readGraphicControl(BufferedInput& input, GifState& state)
{
    const int size = input.next();
    if (size == 4) {
        uint8_t block[4];
        if (input.read(block, 4) != 4) return;
        state.transparentIndex = (block[0] & 1) ? block[3] : -1;
    } else if (size > 0) {
        input.skip(static_cast<size_t>(size));
    } else {
        return;  // a zero size is already the terminator
    }
    gifSkipSubBlocks(input);
}

void readCommentBlocks(BufferedInput& input, ReaderContext& context)
{
    if (!context.option(ReadComment)) {
        gifSkipSubBlocks(input);
        return;
    }
    std::string text;
    for (;;) {
        const int length = input.next();
        if (length <= 0) break;
        const size_t take = std::min(static_cast<size_t>(length), MaxCommentBytes - text.size());
        const size_t start = text.size();
        text.resize(start + take);
        const size_t got = input.read(reinterpret_cast<uint8_t*>(text.data() + start), take);
        text.resize(start + got);
        if (got < take || !input.skip(static_cast<size_t>(length) - take)) break;
    }
    // Comments starting "nCC" are a private marker of some writers, not text for people.
    if (!text.empty() && text.compare(0, 3, "nCC") != 0)
        setComment(context, text.c_str(), static_cast<int>(text.size()));
}

bool readDescriptor(BufferedInput& input, Descriptor& descriptor)
{
    uint8_t bytes[9];
    if (input.read(bytes, 9) != 9) return false;
    ByteReader fields(bytes);
    descriptor.width = fields.u16At(4);
    descriptor.height = fields.u16At(6);
    descriptor.localTable = (bytes[8] & 0x80) != 0;
    descriptor.interlaced = (bytes[8] & 0x40) != 0;
    descriptor.localBits = (bytes[8] & 7) + 1;
    return true;
}

// Running row number -> picture row, for the four interlace passes.
std::vector<int> interlaceOrder(int height)
{
    static constexpr int start[4] = {0, 4, 2, 1};
    static constexpr int step[4] = {8, 8, 4, 2};
    std::vector<int> order;
    order.reserve(static_cast<size_t>(height));
    for (int pass = 0; pass < 4; ++pass)
        for (int y = start[pass]; y < height; y += step[pass]) order.push_back(y);
    return order;
}

struct RowDelivery {
    ReaderContext* context;
    const std::vector<int>* order;  // null: rows in order
    int height;
};

// The picture row of a running row number.
int pictureRow(const RowDelivery& delivery, int runningRow)
{
    return delivery.order ? (*delivery.order)[static_cast<size_t>(runningRow)] : runningRow;
}

// Hands a finished row over, and decodes the next one where the pipeline
// keeps it (the bitmap itself when it stores indexes as they are).
int deliverRow(void* data, int runningRow, uint8_t** nextRow)
{
    auto& delivery = *static_cast<RowDelivery*>(data);
    const int put = putRows(*delivery.context, 0, pictureRow(delivery, runningRow), 1);
    if (put != 0) return put;
    if (runningRow + 1 < delivery.height) {
        uint8_t* place = rowDestination(*delivery.context, pictureRow(delivery, runningRow + 1), 1);
        if (place) *nextRow = place;
    }
    return 0;
}

// Decodes the chosen image and hands it to the pipeline.
int deliverImage(BufferedInput& input, ReaderContext& context, GifState& state, const Descriptor& descriptor,
                 const ColourTable& table, int minimumCodeSize)
{
    ImageHeader header;
    imageHeaderDefaults(header);
    header.width = descriptor.width;
    header.height = descriptor.height;
    header.planes = 1;
    header.bitsPerPlane = static_cast<int16_t>(table.bits);
    header.bytesPerPlane = static_cast<uint32_t>(descriptor.width);
    header.sampleFlags = SampleBytePerPixel;
    header.compression = 2;
    header.transparentIndex = static_cast<int16_t>(state.transparentIndex);
    std::snprintf(header.description, sizeof header.description,
                  descriptor.interlaced ? "Compuserve GIF (Version %c%c%c - Interlaced)"
                                        : "Compuserve GIF (Version %c%c%c)",
                  state.version[0], state.version[1], state.version[2]);

    const int begun = beginImage(context, header);
    if (begun != 0) {
        if (begun == -1) context.imageCount = state.imageCount + 1;
        return begun;
    }

    const std::vector<int> order = descriptor.interlaced ? interlaceOrder(descriptor.height) : std::vector<int>();
    RowDelivery delivery{&context, descriptor.interlaced ? &order : nullptr, descriptor.height};
    uint8_t* firstRow = rowDestination(context, pictureRow(delivery, 0), 1);
    const int decoded = gifDecodeLzw(input, minimumCodeSize, descriptor.width, descriptor.height,
                                     firstRow ? firstRow : header.rowBuffer, deliverRow, &delivery);
    if (decoded != 0) return decoded;

    uint8_t palette[768];
    std::memcpy(palette, table.rgb, sizeof palette);
    // A two-colour table of black and black (written by some tools for
    // monochrome pictures) would show nothing: entry 1 becomes white.
    if (table.bits == 1 && std::memcmp(palette, "\0\0\0\0\0\0", 6) == 0) std::memset(palette + 3, 255, 3);
    const int ended = endImage(context, PaletteRgb, 8, palette);
    if (ended != 0) return ended;
    state.delivered = true;
    return 0;
}

// What one image tells the block walk: go on, stop (state.lastResult says
// why), or return a result at once.
struct ImageStep {
    bool stop = false;
    int result = LoadOk;
};
constexpr ImageStep NextBlock{};
constexpr ImageStep StopWalk{true, LoadOk};

// One image: descriptor, colour table, code size, data.
ImageStep readImage(BufferedInput& input, ReaderContext& context, GifState& state)
{
    Descriptor descriptor;
    if (!readDescriptor(input, descriptor)) {
        state.lastResult = LoadReadError;
        return StopWalk;
    }
    if (descriptor.localTable) {
        if (!readColourTable(input, state.local, descriptor.localBits)) {
            state.lastResult = LoadReadError;
            return StopWalk;
        }
    }
    // An image without a local table uses the global one; without either, the
    // latest local table is the best guess.
    const ColourTable& table = descriptor.localTable || !state.global.present ? state.local : state.global;
    const ColourTable& used = table.present ? table : state.global;

    if (descriptor.width < 1 || descriptor.height < 1) {
        state.lastResult = readerFail(context, LoadBadData, "GIF : Bad picture's size !");
        return StopWalk;
    }
    const int minimumCodeSize = input.next();
    if (minimumCodeSize < 0) {
        state.lastResult = LoadReadError;
        return StopWalk;
    }
    if (minimumCodeSize < 2) {
        state.lastResult = readerFail(context, LoadBadData, "GIF : Bad code's size !");
        return StopWalk;
    }
    // Eight bits of colour index at most: a larger first code size leaves no
    // room below the 12-bit code limit and can only give wrong pixels.
    if (minimumCodeSize > 8) {
        state.lastResult = readerFail(context, ResultCorrupt, "GIF : Bad code's size !");
        return StopWalk;
    }

    if (!state.delivered && state.imageCount == context.params.frameIndex) {
        const int result = deliverImage(input, context, state, descriptor, used, minimumCodeSize);
        if (result == -1) {
            // Described without decoding: the walk goes on only to count the images.
            state.delivered = state.described = true;
            gifSkipSubBlocks(input);
        } else if (result != 0) {
            return {false, result};
        }
    } else {
        gifSkipSubBlocks(input);
    }
    ++state.imageCount;
    // A preview reads no further than the image it shows; the description counts them all.
    return context.option(Preview) && state.delivered && !context.infoOnly() ? StopWalk : NextBlock;
}

}  // namespace

int readGif(Stream& stream, ReaderContext& context)
{
    BufferedInput input(stream);
    uint8_t signature[13];
    const size_t got = input.read(signature, 6);
    if (got < 6 || std::memcmp(signature, "GIF", 3) != 0 ||
        (std::memcmp(signature + 3, "87a", 3) != 0 && std::memcmp(signature + 3, "89a", 3) != 0))
        return LoadUnknownFormat;
    if (input.read(signature + 6, 7) != 7) return LoadReadError;

    GifState state;
    std::memcpy(state.version, signature + 3, 3);
    const int flags = signature[10];
    state.global.bits = (flags & 7) + 1;
    if ((flags & 0x80) && !readColourTable(input, state.global, (flags & 7) + 1)) return LoadReadError;

    for (;;) {
        const int block = input.next();
        if (block < 0 || block == Trailer) break;
        if (block == ExtensionIntroducer) {
            const int label = input.next();
            if (label < 0) break;
            if (label == GraphicControlLabel)
                readGraphicControl(input, state);
            else if (label == CommentLabel)
                readCommentBlocks(input, context);
            else
                gifSkipSubBlocks(input);  // application, plain text and unknown extensions
        } else if (block == ImageSeparator) {
            const ImageStep step = readImage(input, context, state);
            if (step.stop) break;
            if (step.result != 0) return step.result;
        }
        // Any other byte is padding or garbage between blocks: skipped.
    }

    context.imageCount = state.imageCount;
    if (state.described) return -1;
    if (state.delivered) return LoadOk;
    return state.lastResult != 0 ? state.lastResult : LoadUnknownFormat;
}

}  // namespace fotrix
