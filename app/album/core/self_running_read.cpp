// Reading the show back from a self-running file. Every number comes from the
// file, so each is checked against the file's size before it is used.
#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "app/album/core/self_running.h"

namespace fotrix {

namespace {

class TailReader {
public:
    TailReader(int fd, uint64_t position, uint64_t end) : fd_(fd), position_(position), end_(end) {}
    std::optional<uint32_t> word()
    {
        uint8_t le[4];
        if (end_ - position_ < 4 || pread(fd_, le, 4, static_cast<off_t>(position_)) != 4) return std::nullopt;
        position_ += 4;
        return uint32_t(le[0]) | uint32_t(le[1]) << 8 | uint32_t(le[2]) << 16 | uint32_t(le[3]) << 24;
    }
    bool skip(uint64_t bytes)
    {
        if (end_ - position_ < bytes) return false;
        position_ += bytes;
        return true;
    }
    uint64_t position() const { return position_; }

private:
    int fd_;
    uint64_t position_, end_;
};

}  // namespace

std::optional<SelfRunningShow> readShowTail(int fd, uint64_t markerOffset, uint64_t fileSize)
{
    if (markerOffset > fileSize) return std::nullopt;
    TailReader tail(fd, markerOffset, fileSize);
    SelfRunningShow show;
    show.markerOffset = markerOffset;
    if (!tail.skip(kShowMarker.size())) return std::nullopt;
    auto flags = tail.word(), delay = tail.word(), background = tail.word(), reserved = tail.word();
    if (!flags || !delay || !background || !reserved) return std::nullopt;
    show.flags = *flags, show.delay = *delay, show.background = *background;
    if (show.flags & ShowSound) {
        auto size = tail.word();
        if (!size) return std::nullopt;
        show.sound = ByteRange{tail.position(), *size};
        if (!tail.skip(*size)) return std::nullopt;
    }
    auto count = tail.word();
    if (!count || *count > (fileSize - tail.position()) / 4) return std::nullopt;
    std::vector<uint64_t> starts;
    for (uint32_t i = 0; i < *count; ++i) starts.push_back(*tail.word());
    // Positions lie after the table, in order; a picture ends where the next begins.
    uint64_t previous = tail.position();
    for (uint64_t start : starts) {
        if (start < previous || start > fileSize) return std::nullopt;
        previous = start;
    }
    for (size_t i = 0; i < starts.size(); ++i) {
        uint64_t end = i + 1 < starts.size() ? starts[i + 1] : fileSize;
        show.pictures.push_back({starts[i], end - starts[i]});
    }
    return show;
}

std::optional<uint64_t> findShowMarker(int fd, uint64_t fileSize)
{
    // Scans from the end backwards in blocks that overlap by the marker's length.
    constexpr size_t kBlock = 65536;
    std::vector<char> block(kBlock);
    uint64_t end = fileSize;
    while (end >= kShowMarker.size()) {
        uint64_t start = end > kBlock ? end - kBlock : 0;
        size_t length = static_cast<size_t>(end - start);
        if (pread(fd, block.data(), length, static_cast<off_t>(start)) != static_cast<ssize_t>(length)) break;
        for (size_t i = length - kShowMarker.size() + 1; i-- > 0;)
            if (std::memcmp(block.data() + i, kShowMarker.data(), kShowMarker.size()) == 0) return start + i;
        if (start == 0) break;
        end = start + kShowMarker.size() - 1;
    }
    return std::nullopt;
}

namespace {

uint64_t littleEndian(const uint8_t* bytes, int size)
{
    uint64_t value = 0;
    for (int i = size; i-- > 0;) value = value << 8 | bytes[i];
    return value;
}

// The end of an ELF program as its header tables give it: the section
// header table, or the program header table when that lies further on.
std::optional<uint64_t> elfEnd(int fd)
{
    uint8_t h[64] = {};
    if (pread(fd, h, sizeof h, 0) != static_cast<ssize_t>(sizeof h) || std::memcmp(h, "\x7f" "ELF", 4) != 0 || h[5] != 1)
        return std::nullopt;
    const bool wide = h[4] == 2;
    auto field = [&](int at32, int at64, int size32, int size64) {
        return wide ? littleEndian(h + at64, size64) : littleEndian(h + at32, size32);
    };
    const uint64_t phoff = field(0x1C, 0x20, 4, 8), shoff = field(0x20, 0x28, 4, 8);
    const uint64_t phentsize = field(0x2A, 0x36, 2, 2), phnum = field(0x2C, 0x38, 2, 2);
    const uint64_t shentsize = field(0x2E, 0x3A, 2, 2), shnum = field(0x30, 0x3C, 2, 2);
    return std::max(shoff + shentsize * shnum, phoff + phentsize * phnum);
}

}  // namespace

std::optional<uint64_t> locateShowMarker(int fd, uint64_t fileSize)
{
    if (auto end = elfEnd(fd); end && *end <= fileSize - std::min<uint64_t>(fileSize, kShowMarker.size())) {
        char marker[kShowMarker.size()];
        if (pread(fd, marker, sizeof marker, static_cast<off_t>(*end)) == static_cast<ssize_t>(sizeof marker) &&
            std::memcmp(marker, kShowMarker.data(), sizeof marker) == 0)
            return *end;
    }
    return findShowMarker(fd, fileSize);
}

}  // namespace fotrix
