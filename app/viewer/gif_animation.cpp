// The animation reader. Frames are composed as GIF89a
// describes (graphic control extension, section 23): each starts as a copy
// of the previous one after that one's disposal, and its own pixels are laid
// on it, transparent ones leaving the canvas unchanged. "Restore to previous"
// brings back the canvas as it was before the disposed frame was drawn.
// Frames are composed in true colour: frames with colour tables of their own
// carry over the pixels of earlier frames, which one table of 256 entries
// cannot always hold.
#include "app/viewer/gif_animation.h"
#include "imagelib/readers/gif_lzw.h"
#include "imagelib/transform.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>

namespace fotrix {

namespace {

constexpr int kMaxCanvas = 16000;

struct Reader {
    const uint8_t* data = nullptr;
    size_t size = 0;
    size_t at = 0;
    bool has(size_t n) const { return at + n <= size; }
    int byte() { return has(1) ? data[at++] : -1; }
    int word()
    {
        if (!has(2)) return -1;
        int v = data[at] | (data[at + 1] << 8);
        at += 2;
        return v;
    }
    // Joins sub-blocks up to the terminator; false when the data ends first.
    bool subBlocks(std::vector<uint8_t>* out)
    {
        for (;;) {
            int n = byte();
            if (n < 0) return false;
            if (n == 0) return true;
            if (!has(static_cast<size_t>(n))) return false;
            if (out) out->insert(out->end(), data + at, data + at + n);
            at += static_cast<size_t>(n);
        }
    }
};

struct Palette {
    int count = 0;
    uint8_t rgb[256][3] = {};
};

struct Control {
    bool present = false;
    int disposal = 0;
    int transparent = -1;
    int delayHundredths = 0;
};

struct FrameRect {
    int left = 0, top = 0, width = 0, height = 0;
};

struct Context {
    Reader in;
    int canvasWidth = 0, canvasHeight = 0, background = 0;
    Palette global;
    Palette previousTable;
    Control control;
    FrameRect previousRect;
    int previousDisposal = 0;
    int previousTransparent = -1;
    // The canvas as it was before a frame that restores it ("restore to previous").
    Bitmap beforePrevious;
    size_t bytes = 0;
    size_t budget = kAnimationMemoryBudget;
    bool streaming = false;    // frames are dropped as they are shown: no budget applies
    bool cutByBudget = false;  // frames were left unread for the budget
};

bool readTable(Reader& in, int flags, Palette& table)
{
    table.count = 1 << ((flags & 7) + 1);
    if (!in.has(static_cast<size_t>(table.count) * 3)) return false;
    for (int i = 0; i < table.count; ++i)
        for (int c = 0; c < 3; ++c) table.rgb[i][c] = static_cast<uint8_t>(in.byte());
    return true;
}

struct Colour {
    uint8_t r = 0, g = 0, b = 0;
};

Colour colourOf(const Palette& table, int index)
{
    if (index < 0 || index >= table.count) return Colour{};
    return Colour{table.rgb[index][0], table.rgb[index][1], table.rgb[index][2]};
}

void putPixel(Bitmap& b, int x, int y, Colour c)
{
    uint8_t* p = bitmapRow(b, y) + 3 * x;  // Bgr
    p[0] = c.b;
    p[1] = c.g;
    p[2] = c.r;
}

void fillRect(Bitmap& b, const FrameRect& r, Colour colour)
{
    for (int y = r.top; y < r.top + r.height && y < b.height; ++y)
        for (int x = r.left; x < r.left + r.width && x < b.width; ++x) putPixel(b, x, y, colour);
}

void copyRect(Bitmap& to, const Bitmap& from, const FrameRect& r)
{
    for (int y = r.top; y < r.top + r.height && y < to.height; ++y) {
        int width = std::min(r.width, to.width - r.left);
        if (width > 0)
            std::memcpy(bitmapRow(to, y) + 3 * r.left, bitmapRow(from, y) + 3 * r.left, 3 * static_cast<size_t>(width));
    }
}

// Row y of an interlaced image is stored at this position (four passes).
int interlacedRow(int stored, int height)
{
    static constexpr int start[4] = {0, 4, 2, 1}, step[4] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass) {
        int rows = height > start[pass] ? (height - start[pass] + step[pass] - 1) / step[pass] : 0;
        if (stored < rows) return start[pass] + stored * step[pass];
        stored -= rows;
    }
    return -1;
}

// The new frame's canvas before its pixels: the previous frame after its disposal.
int startCanvas(Context& c, const Palette& table, std::vector<AnimationFrame>& frames, Bitmap& canvas)
{
    if (!bitmapAllocate(canvas, Bgr, 4, c.canvasWidth, c.canvasHeight)) return AnimationNoMemory;
    if (frames.empty()) {
        int fill = c.control.transparent >= 0 ? c.control.transparent : c.background;
        fillRect(canvas, FrameRect{0, 0, c.canvasWidth, c.canvasHeight}, colourOf(table, fill));
        return AnimationOk;
    }
    const Bitmap& previous = frames.back().bitmap;
    std::memcpy(canvas.pixels, previous.pixels, static_cast<size_t>(canvas.bytesPerRow) * canvas.height);
    if (c.previousDisposal == 2)
        fillRect(canvas, c.previousRect, colourOf(c.previousTable, c.previousTransparent >= 0 ? c.previousTransparent : c.background));
    else if ((c.previousDisposal == 3 || c.previousDisposal == 4) && c.beforePrevious.pixels)
        copyRect(canvas, c.beforePrevious, c.previousRect);
    return AnimationOk;
}

// Keeps the canvas before this frame's pixels when the frame will restore it.
int keepForRestore(Context& c, const Bitmap& canvas)
{
    bitmapFree(c.beforePrevious);
    if (c.control.disposal != 3 && c.control.disposal != 4) return AnimationOk;
    return bitmapDuplicate(canvas, &c.beforePrevious) == 0 ? AnimationOk : AnimationNoMemory;
}

void layPixels(Bitmap& canvas, const FrameRect& r, bool interlaced, const std::vector<uint8_t>& indices, long count,
               const Palette& table, int transparent)
{
    for (long i = 0; i < count; ++i) {
        int row = static_cast<int>(i / r.width), column = static_cast<int>(i % r.width);
        if (interlaced) row = interlacedRow(row, r.height);
        int x = r.left + column, y = r.top + row;
        if (row < 0 || x >= canvas.width || y >= canvas.height || indices[i] == transparent) continue;
        putPixel(canvas, x, y, colourOf(table, indices[i]));
    }
}

int readImage(Context& c, std::vector<AnimationFrame>& frames)
{
    Reader& in = c.in;
    FrameRect r{in.word(), in.word(), in.word(), in.word()};
    int flags = in.byte();
    if (flags < 0 || r.width < 1 || r.height < 1) return AnimationCorrupt;
    if (frames.empty()) {
        // The canvas grows to the first frame when that is larger.
        c.canvasWidth = std::max(c.canvasWidth, r.width);
        c.canvasHeight = std::max(c.canvasHeight, r.height);
    } else if (r.width > c.canvasWidth || r.height > c.canvasHeight) {
        return -1;  // a frame larger than the screen ends the animation
    }
    // Frames placed partly or wholly outside the canvas are clipped to it.
    if (c.canvasWidth < 1 || c.canvasHeight < 1 || c.canvasWidth >= kMaxCanvas || c.canvasHeight >= kMaxCanvas)
        return AnimationBadHeader;
    Palette local;
    if ((flags & 0x80) && !readTable(in, flags, local)) return AnimationCorrupt;
    const Palette& table = (flags & 0x80) ? local : c.global;
    int codeSize = in.byte();
    if (codeSize < 2 || codeSize > 9) return AnimationBadHeader;
    std::vector<uint8_t> compressed;
    if (!in.subBlocks(&compressed) && compressed.empty()) return AnimationCorrupt;
    size_t frameBytes = static_cast<size_t>(c.canvasWidth) * c.canvasHeight * 3;
    if (frames.empty() && 2 * frameBytes > c.budget) return AnimationTooLarge;
    if (!frames.empty() && !c.streaming && c.bytes + frameBytes > c.budget) {
        c.cutByBudget = true;
        return -1;
    }
    Bitmap canvas;
    if (int result = startCanvas(c, table, frames, canvas)) return result;
    if (int result = keepForRestore(c, canvas)) {
        bitmapFree(canvas);
        return result;
    }
    std::vector<uint8_t> indices(static_cast<size_t>(r.width) * r.height);
    long count = gifDecodeLzwJoined(codeSize, compressed.data(), compressed.size(), indices.data(), indices.size());
    if (count < 0) {
        bitmapFree(canvas);
        return AnimationCorrupt;
    }
    int transparent = c.control.transparent;
    layPixels(canvas, r, (flags & 0x40) != 0, indices, count, table, transparent);
    frames.push_back(AnimationFrame{canvas, AnimationDelayMs(c.control.delayHundredths)});
    c.bytes += frameBytes;
    c.previousRect = r;
    c.previousDisposal = c.control.disposal;
    c.previousTransparent = transparent;
    c.previousTable = table;
    c.control = Control{};
    return AnimationOk;
}

bool readExtension(Context& c)
{
    int label = c.in.byte();
    if (label == 0xF9 && c.in.has(1) && c.in.data[c.in.at] == 4) {
        c.in.byte();
        int packed = c.in.byte(), delay = c.in.word(), transparent = c.in.byte();
        if (transparent < 0) return false;
        c.control.present = true;
        c.control.disposal = (packed >> 2) & 7;
        c.control.transparent = (packed & 1) ? transparent : -1;
        c.control.delayHundredths = delay;
    }
    return label >= 0 && c.in.subBlocks(nullptr);
}

int readHeader(Context& c)
{
    Reader& in = c.in;
    if (!in.has(13) || std::memcmp(in.data, "GIF", 3) != 0 || !isdigit(in.data[3]) || !isdigit(in.data[4]))
        return AnimationNotGif;
    in.at = 6;
    c.canvasWidth = in.word();
    c.canvasHeight = in.word();
    int flags = in.byte();
    c.background = in.byte();
    in.byte();  // aspect
    if ((flags & 0x80) && !readTable(in, flags, c.global)) return AnimationCorrupt;
    return AnimationOk;
}

// Reads blocks up to and including the next image: AnimationOk when a frame
// was added to `frames`, -1 at the file's end (or where it stops making
// sense), an AnimationResult when the image failed.
int readNextFrame(Context& c, std::vector<AnimationFrame>& frames)
{
    for (;;) {
        int kind = c.in.byte();
        if (kind < 0 || kind == ';') return -1;
        if (kind == ',') return readImage(c, frames);
        if (kind != '!' || !readExtension(c)) return -1;  // not a block: the file ends here
    }
}

}  // namespace

int AnimationDelayMs(int hundredths) { return (hundredths <= 1 ? 10 : hundredths) * 10; }

void FreeAnimationFrames(std::vector<AnimationFrame>& frames)
{
    for (AnimationFrame& f : frames) bitmapFree(f.bitmap);
    frames.clear();
}

int ReadAnimatedGifBytes(const uint8_t* data, size_t size, std::vector<AnimationFrame>& frames, size_t budget,
                         bool* cutByBudget)
{
    FreeAnimationFrames(frames);
    if (cutByBudget) *cutByBudget = false;
    Context c;
    c.in = Reader{data, size};
    c.budget = budget;
    if (int result = readHeader(c)) return result;
    int result = AnimationOk;
    while ((result = readNextFrame(c, frames)) == AnimationOk) {}
    bitmapFree(c.beforePrevious);
    // After a good frame any failure ends the animation with the frames read.
    if (result > 0 && frames.empty()) return result;
    if (cutByBudget) *cutByBudget = c.cutByBudget;
    return frames.empty() ? AnimationCorrupt : AnimationOk;
}

namespace {

bool readWholeFile(const std::string& path, std::vector<uint8_t>& bytes)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) return false;
    bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    return true;
}

// The images of a GIF file, counted by skipping their data undecoded.
int countImages(const std::vector<uint8_t>& bytes)
{
    Context c;
    c.in = Reader{bytes.data(), bytes.size()};
    if (readHeader(c) != AnimationOk) return 0;
    Reader& in = c.in;
    int images = 0;
    for (;;) {
        const int kind = in.byte();
        if (kind == '!') {
            if (in.byte() < 0 || !in.subBlocks(nullptr)) break;
        } else if (kind == ',' && in.has(9)) {
            in.at += 8;
            const int flags = in.byte();
            if (flags & 0x80) in.at += std::min<size_t>(3u << ((flags & 7) + 1), in.size - in.at);
            if (in.byte() < 0 || !in.subBlocks(nullptr)) break;
            ++images;
        } else {
            break;
        }
    }
    return images;
}

}  // namespace

int ReadAnimatedGif(const std::string& path, std::vector<AnimationFrame>& frames, size_t budget, bool* cutByBudget)
{
    std::vector<uint8_t> bytes;
    if (!readWholeFile(path, bytes)) return AnimationCannotOpen;
    return ReadAnimatedGifBytes(bytes.data(), bytes.size(), frames, budget, cutByBudget);
}

// The stream holds the file, the composing state, the frame shown and the
// one before it: the view may still paint the older until it gets the newer.
struct AnimationStream::State {
    std::vector<uint8_t> bytes;
    Context c;
    std::vector<AnimationFrame> frames;
    std::vector<AnimationFrame> retired;  // freed at the next step, once the view has let go
    int index = 0;
    int count = 0;

    ~State()
    {
        bitmapFree(c.beforePrevious);
        FreeAnimationFrames(frames);
        FreeAnimationFrames(retired);
    }
    // Back to the file's start with frame 0 composed; on failure everything
    // stays as it was, the frame shown included.
    int restart()
    {
        Context fresh;
        fresh.in = Reader{bytes.data(), bytes.size()};
        fresh.streaming = true;
        std::vector<AnimationFrame> first;
        int result = readHeader(fresh);
        if (result == AnimationOk) result = readNextFrame(fresh, first);
        if (result != AnimationOk) {
            bitmapFree(fresh.beforePrevious);
            FreeAnimationFrames(first);
            return result > 0 ? result : AnimationCorrupt;
        }
        for (AnimationFrame& f : frames) retired.push_back(f);
        frames = std::move(first);
        bitmapFree(c.beforePrevious);
        c = fresh;
        index = 0;
        return AnimationOk;
    }
};

AnimationStream::AnimationStream() = default;
AnimationStream::~AnimationStream() = default;

int AnimationStream::open(const std::string& path)
{
    std::vector<uint8_t> bytes;
    if (!readWholeFile(path, bytes)) {
        state_.reset();
        return AnimationCannotOpen;
    }
    return openBytes(std::move(bytes));
}

int AnimationStream::openBytes(std::vector<uint8_t> bytes)
{
    state_ = std::make_unique<State>();
    state_->bytes = std::move(bytes);
    state_->count = countImages(state_->bytes);
    const int result = state_->restart();
    if (result != AnimationOk) state_.reset();
    return result;
}

void AnimationStream::close() { state_.reset(); }

bool AnimationStream::isOpen() const { return state_ != nullptr; }

const AnimationFrame& AnimationStream::current() const { return state_->frames.back(); }

int AnimationStream::index() const { return state_ ? state_->index : 0; }

int AnimationStream::count() const { return state_ ? state_->count : 0; }

int AnimationStream::next()
{
    if (!state_) return AnimationCorrupt;
    State& s = *state_;
    FreeAnimationFrames(s.retired);
    if (readNextFrame(s.c, s.frames) == AnimationOk) {
        ++s.index;
        s.count = std::max(s.count, s.index + 1);  // a file may hold more than its count found
        if (s.frames.size() > 1) {
            s.retired.push_back(s.frames.front());
            s.frames.erase(s.frames.begin());
        }
        return AnimationOk;
    }
    // The file ended (or stopped making sense) after the last good frame:
    // what could be composed is the animation.
    s.count = s.index + 1;
    return s.restart();
}

}  // namespace fotrix
