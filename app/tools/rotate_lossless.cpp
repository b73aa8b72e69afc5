// The lossless road of the Rotate tool.
#include "app/tools/rotate_lossless.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <vector>

#include "app/tools/rotate_rules.h"
#include "metadata/exif.h"
#include "metadata/jpeg_transform.h"

namespace fotrix {

namespace {

constexpr int kMaxHeaderSegments = 64;

bool readAt(int fd, off_t offset, uint8_t* data, size_t size)
{
    return pread(fd, data, size, offset) == static_cast<ssize_t>(size);
}

// Patches the orientation of the segment's payload at `offset` when it is EXIF.
// 1 patched, 0 not EXIF (look further), -1 failed.
int patchExifSegment(int fd, off_t offset, size_t length)
{
    std::vector<uint8_t> payload(length);
    if (!readAt(fd, offset, payload.data(), length)) return -1;
    if (length < 6 || std::string_view(reinterpret_cast<char*>(payload.data()), 6) != std::string_view("Exif\0\0", 6))
        return 0;
    int orientation = 0;
    if (!exifBlockGetOrientation(payload.data(), length, orientation) || orientation == 1) return 1;
    if (!exifBlockSetOrientation(payload.data(), length, 1)) return 1;
    return pwrite(fd, payload.data(), length, offset) == static_cast<ssize_t>(length) ? 1 : -1;
}

// Walks the header segments up to the start of scan, looking for the first EXIF APP1.
bool resetOrientationIn(int fd)
{
    uint8_t bytes[4];
    if (!readAt(fd, 0, bytes, 2) || bytes[0] != 0xFF || bytes[1] != 0xD8) return false;
    off_t position = 2;
    for (int i = 0; i < kMaxHeaderSegments; ++i) {
        if (!readAt(fd, position, bytes, 4) || bytes[0] != 0xFF) return true;
        const uint8_t marker = bytes[1];
        const size_t length = size_t(bytes[2]) << 8 | bytes[3];
        if (marker == 0xDA || marker == 0xD9 || length < 2) return true;
        if (marker == 0xE1) {
            int patched = patchExifSegment(fd, position + 4, length - 2);
            if (patched != 0) return patched > 0;
        }
        position += 2 + static_cast<off_t>(length);
    }
    return true;
}

bool isReadOnlyFile(const std::string& path)
{
    struct stat status;
    return stat(path.c_str(), &status) == 0 && access(path.c_str(), W_OK) != 0;
}

// The replaced file keeps its permissions.
void copyMode(const std::string& from, const std::string& to)
{
    struct stat status;
    if (stat(from.c_str(), &status) == 0) chmod(to.c_str(), status.st_mode & 07777);
}

bool syncFile(const std::string& path)
{
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    bool synced = fsync(fd) == 0;
    return close(fd) == 0 && synced;
}

}  // namespace

bool resetJpegFileOrientation(const std::string& path)
{
    int fd = open(path.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) return false;
    bool ok = resetOrientationIn(fd);
    return close(fd) == 0 && ok;
}

LosslessResult rotateJpegLossless(const std::string& input, const std::string& output, int operation)
{
    if (isReadOnlyFile(output)) return LosslessResult::ReadOnly;
    const std::string temporary = output + ".fotrix";
    if (!jpegTransformLossless(input.c_str(), temporary.c_str(), losslessCode(operation), true)) {
        std::remove(temporary.c_str());
        return LosslessResult::Failed;
    }
    copyMode(output, temporary);
    if (!resetJpegFileOrientation(temporary) || !syncFile(temporary) ||
        std::rename(temporary.c_str(), output.c_str()) != 0) {
        std::remove(temporary.c_str());
        return LosslessResult::Failed;
    }
    return LosslessResult::Done;
}

}  // namespace fotrix
