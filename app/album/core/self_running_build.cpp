// The self-running product: the slideshow program copied unchanged, then the
// show. Written through a temporary file with the executable bit, so that an
// existing file is replaced only by a complete one.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstring>

#include "app/album/core/album_build.h"
#include "app/album/core/prepare_picture.h"
#include "app/album/core/self_running.h"
#include "app/album/core/working_folder.h"
#include "fileio/atomic_replace.h"

namespace fotrix {

namespace {

class ShowWriter {
public:
    explicit ShowWriter(AtomicReplace& output) : output_(output) {}
    bool bytes(const void* data, size_t size)
    {
        position_ += size;
        return ok_ = output_.write(data, size) && ok_;
    }
    bool word(uint32_t value)
    {
        uint8_t le[4] = {uint8_t(value), uint8_t(value >> 8), uint8_t(value >> 16), uint8_t(value >> 24)};
        return bytes(le, 4);
    }
    // Copies a whole file in blocks of 4096 bytes; false when it cannot be opened.
    bool file(const std::string& path)
    {
        int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) return false;
        char block[4096];
        ssize_t got;
        while ((got = read(fd, block, sizeof block)) > 0) bytes(block, static_cast<size_t>(got));
        if (got < 0) ok_ = false;
        close(fd);
        return true;
    }
    uint64_t position() const { return position_; }
    bool ok() const { return ok_; }
    void fail() { ok_ = false; }

private:
    AtomicReplace& output_;
    uint64_t position_ = 0;
    bool ok_ = true;
};

std::optional<uint64_t> soundSize(const BuildJob& job)
{
    if (!job.settings.audio || job.settings.soundPath.empty()) return std::nullopt;
    struct stat info {};
    if (stat(job.settings.soundPath.c_str(), &info) != 0 || !S_ISREG(info.st_mode) ||
        access(job.settings.soundPath.c_str(), R_OK) != 0 || info.st_size > 0xFFFFFFFFll)
        return std::nullopt;
    return static_cast<uint64_t>(info.st_size);
}

// The positions table is filled in at the end, over the zero words written first.
bool writePositions(AtomicReplace& output, uint64_t tableOffset, const std::vector<uint32_t>& positions)
{
    std::vector<uint8_t> table;
    for (uint32_t p : positions)
        for (int shift = 0; shift < 32; shift += 8) table.push_back(uint8_t(p >> shift));
    return pwrite(output.fd(), table.data(), table.size(), static_cast<off_t>(tableOffset)) ==
           static_cast<ssize_t>(table.size());
}

std::string programFolder()
{
    char path[PATH_MAX];
    ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) return ".";
    std::string self(path, static_cast<size_t>(length));
    return self.substr(0, self.rfind('/'));
}

}  // namespace

std::string findSlideshowStub()
{
    const std::string folder = programFolder();
    for (const std::string& path : {folder + "/fotrix-slide", folder + "/../app/fotrix-slide",
                                    std::string(FOTRIX_STUB_INSTALL_PATH)})
        if (access(path.c_str(), X_OK) == 0) return path;
    return {};
}

BuildResult selfRunningBuild(const BuildJob& job, const std::string& stubPath, uint32_t background)
{
    AtomicReplace output;
    ReplaceOptions options;
    options.mode = 0755;
    options.useMode = true;
    if (output.open(buildOutputPath(job.settings), options) != ReplaceStatus::Ok) return BuildResult::CannotCreate;
    ShowWriter writer(output);
    if (!writer.file(stubPath)) return BuildResult::NoStub;  // the temporary goes with `output`
    const std::optional<uint64_t> sound = soundSize(job);
    const uint32_t flags = static_cast<uint32_t>(job.settings.transitions) | (job.settings.loop ? uint32_t(ShowLoop) : 0u) |
                           (sound ? uint32_t(ShowSound) : 0u);
    writer.bytes(kShowMarker.data(), kShowMarker.size());
    writer.word(flags);
    writer.word(static_cast<uint32_t>(job.settings.delay));
    writer.word(background);
    writer.word(0xFFFFFFFFu);
    if (sound) {
        writer.word(static_cast<uint32_t>(*sound));
        const uint64_t before = writer.position();
        if (!writer.file(job.settings.soundPath) || writer.position() - before != *sound) writer.fail();
    }
    const uint32_t count = static_cast<uint32_t>(job.pictures.size());
    writer.word(count);
    const uint64_t tableOffset = writer.position();
    for (uint32_t i = 0; i < count; ++i) writer.word(0);
    std::vector<uint32_t> positions;
    WorkingFolder work;
    if (!work.make(job.temporaryFolder)) return BuildResult::CannotCreate;
    const std::string scratch = work.file("fotrix_temporary.tmp");
    for (uint32_t i = 0; i < count; ++i) {
        positions.push_back(static_cast<uint32_t>(writer.position()));
        if (job.progress && !job.progress(job.pictures[i], static_cast<int>(i), static_cast<int>(count) + 1))
            return BuildResult::Stopped;
        if (slideshowPreparePicture(job.pictures[i], scratch, job.settings, job.portraitScreen)) writer.file(scratch);
        unlink(scratch.c_str());
    }
    if (writer.position() > 0xFFFFFFFFull) writer.fail();
    if (!writer.ok() || !writePositions(output, tableOffset, positions)) return BuildResult::CannotCreate;
    if (job.progress) job.progress({}, static_cast<int>(count), static_cast<int>(count) + 1);
    return output.commit() == ReplaceStatus::Ok ? BuildResult::Done : BuildResult::CannotCreate;
}

}  // namespace fotrix
