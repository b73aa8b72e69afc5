// The two sources of a show: an album's members and the tail of a
// self-running file. Each picture is written into the source's working
// folder, loaded and deleted again, so at most one picture waits on disk.
#include "app/album/core/slide_source.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "app/album/core/album_archive.h"
#include "app/album/core/self_running.h"
#include "app/album/core/working_folder.h"
#include "imagelib/load.h"

namespace fotrix {

namespace {

bool loadAndDelete(const std::string& path, Bitmap& bitmap)
{
    LoadParams params;
    loadParamsDefaults(params);
    const bool loaded = loadBitmap(path, bitmap, params, nullptr) == 0;
    unlink(path.c_str());
    return loaded;
}

class AlbumSource final : public SlideSource {
public:
    AlbumOpenError open(const std::string& path, const std::string& root) { return album_.open(path, root); }
    int count() const override { return static_cast<int>(album_.description().pictures.size()); }
    int delay() const override { return album_.description().delay; }
    bool transitions() const override { return album_.description().transitions != 0; }
    bool loop() const override { return album_.description().loop != 0; }
    bool load(int index, Bitmap& bitmap) override
    {
        if (index < 0 || index >= count()) return false;
        auto path = album_.extract(album_.description().pictures[static_cast<size_t>(index)].member);
        return path && loadAndDelete(*path, bitmap);
    }
    std::string soundFile() override
    {
        if (sound_.empty())
            if (auto path = album_.extractSound()) sound_ = *path;
        return sound_;
    }
    SoundKind soundKind() const override { return album_.description().soundKind; }
    std::string soundName() const override
    {
        return album_.description().sound ? album_.description().sound->member : std::string();
    }

private:
    AlbumArchive album_;
    std::string sound_;
};

// Copies `range` of `fd` into a new file; false on a short read or write.
bool copyRange(int fd, const ByteRange& range, const std::string& target)
{
    int out = ::open(target.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_EXCL | O_CLOEXEC, 0600);
    if (out < 0) return false;
    std::vector<char> block(65536);
    uint64_t done = 0;
    bool ok = true;
    while (ok && done < range.size) {
        size_t want = static_cast<size_t>(std::min<uint64_t>(block.size(), range.size - done));
        ssize_t got = pread(fd, block.data(), want, static_cast<off_t>(range.offset + done));
        ok = got > 0 && write(out, block.data(), static_cast<size_t>(got)) == got;
        done += got > 0 ? static_cast<uint64_t>(got) : 0;
    }
    ok = close(out) == 0 && ok;
    if (!ok) unlink(target.c_str());
    return ok;
}

class SelfRunningSource final : public SlideSource {
public:
    ~SelfRunningSource() override
    {
        if (fd_ >= 0) close(fd_);
    }
    bool open(const std::string& path, const std::string& root)
    {
        fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        struct stat info {};
        if (fd_ < 0 || fstat(fd_, &info) != 0 || !S_ISREG(info.st_mode)) return false;
        const uint64_t size = static_cast<uint64_t>(info.st_size);
        auto marker = locateShowMarker(fd_, size);
        auto show = marker ? readShowTail(fd_, *marker, size) : std::nullopt;
        if (!show || !folder_.make(root)) return false;
        show_ = std::move(*show);
        return true;
    }
    uint32_t background() const { return show_.background; }
    int count() const override { return static_cast<int>(show_.pictures.size()); }
    int delay() const override { return static_cast<int>(std::min<uint32_t>(show_.delay, INT32_MAX)); }
    bool transitions() const override { return show_.flags & ShowTransitions; }
    bool loop() const override { return show_.flags & ShowLoop; }
    bool load(int index, Bitmap& bitmap) override
    {
        if (index < 0 || index >= count()) return false;
        const ByteRange& range = show_.pictures[static_cast<size_t>(index)];
        // An empty range is a picture that failed when the show was built.
        if (range.size == 0 || range.size > kAlbumMaxMember) return false;
        const std::string path = folder_.file("slide.jpg");
        return copyRange(fd_, range, path) && loadAndDelete(path, bitmap);
    }
    std::string soundFile() override
    {
        if (!sound_.empty() || !show_.sound || show_.sound->size > kAlbumMaxMember) return sound_;
        const std::string path = folder_.file("sound");
        if (copyRange(fd_, *show_.sound, path)) sound_ = path;
        return sound_;
    }
    // The show records no sound path; a wave file is told by its header, so
    // that it still plays through the wave player when the mixer cannot.
    SoundKind soundKind() const override
    {
        char head[12] = {};
        if (!show_.sound || show_.sound->size < sizeof head ||
            pread(fd_, head, sizeof head, static_cast<off_t>(show_.sound->offset)) != sizeof head)
            return SoundUnknown;
        return std::memcmp(head, "RIFF", 4) == 0 && std::memcmp(head + 8, "WAVE", 4) == 0 ? SoundWav : SoundUnknown;
    }
    std::string soundName() const override { return show_.sound ? "sound" : ""; }

private:
    int fd_ = -1;
    SelfRunningShow show_;
    WorkingFolder folder_;
    std::string sound_;
};

}  // namespace

std::unique_ptr<SlideSource> openAlbumSource(const std::string& path, const std::string& temporaryRoot)
{
    auto source = std::make_unique<AlbumSource>();
    if (source->open(path, temporaryRoot) != AlbumOpenError::None) return nullptr;
    return source;
}

std::unique_ptr<SlideSource> openSelfRunningSource(const std::string& path, const std::string& temporaryRoot,
                                                   uint32_t* background)
{
    auto source = std::make_unique<SelfRunningSource>();
    if (!source->open(path, temporaryRoot)) return nullptr;
    if (background) *background = source->background();
    return source;
}

std::string temporaryFolderRoot()
{
    const char* tmp = std::getenv("TMPDIR");
    std::string root = tmp && *tmp ? tmp : "/tmp";
    while (root.size() > 1 && root.back() == '/') root.pop_back();
    return root;
}

}  // namespace fotrix
