// Reading the show back from a self-running file. Every number comes from the
// file, so each is checked against the file's size before it is used.
#include <unistd.h>

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

}  // namespace fotrix
