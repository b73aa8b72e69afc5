#include "platform/sound/wave.h"

#include <cstdio>
#include <cstring>
#include <memory>

#include "imagelib/bytes.h"

namespace {

struct FileCloser {
    void operator()(FILE* f) const { std::fclose(f); }
};

}  // namespace

bool waveFileRead(const std::string& path, WaveFormat* out)
{
    std::unique_ptr<FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file) return false;
    unsigned char header[12];
    if (std::fread(header, 1, 12, file.get()) != 12) return false;
    if (std::memcmp(header, "RIFF", 4) != 0 || std::memcmp(header + 8, "WAVE", 4) != 0) return false;
    if (std::fseek(file.get(), 0, SEEK_END) != 0) return false;
    long size = std::ftell(file.get());
    if (size < 12 || std::fseek(file.get(), 12, SEEK_SET) != 0) return false;
    WaveFormat format;
    bool haveFormat = false;
    // Walk the chunks; each must lie within the file.
    for (long at = 12; at + 8 <= size;) {
        unsigned char chunk[8];
        if (std::fseek(file.get(), at, SEEK_SET) != 0 || std::fread(chunk, 1, 8, file.get()) != 8) return false;
        uint32_t length = fotrix::ByteReader(chunk).u32At(4);
        if (length > static_cast<uint64_t>(size - at - 8)) return false;
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            unsigned char fmt[16];
            if (length < 16 || std::fread(fmt, 1, 16, file.get()) != 16) return false;
            fotrix::ByteReader fields(fmt);
            format.channels = fields.u16At(2);
            format.rate = static_cast<int>(fields.u32At(4));
            format.bits = fields.u16At(14);
            if (fields.u16At(0) != 1 || (format.channels != 1 && format.channels != 2) || (format.bits != 8 && format.bits != 16) ||
                format.rate < 1000 || format.rate > 192000)
                return false;
            haveFormat = true;
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            if (!haveFormat) return false;
            format.dataBytes = length;
            if (out) *out = format;
            return true;
        }
        at += 8 + static_cast<long>(length) + (length & 1);  // chunks are padded to even sizes
    }
    return false;
}
