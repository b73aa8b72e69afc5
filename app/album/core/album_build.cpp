// The album product: a zip archive written through a temporary file beside
// the target, so that an existing album is replaced only by a complete one.
#include <sys/stat.h>
#include <unistd.h>

#include "app/album/core/album_build.h"
#include "app/album/core/album_config.h"
#include "app/album/core/prepare_picture.h"
#include "app/album/core/working_folder.h"
#include "archive/zip.h"
#include "fileio/atomic_replace.h"

namespace fotrix {

namespace {

bool report(const BuildJob& job, const std::string& text, int index)
{
    return !job.progress || job.progress(text, index, static_cast<int>(job.pictures.size()) + 1);
}

bool readableFile(const std::string& path)
{
    struct stat info {};
    return !path.empty() && stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           access(path.c_str(), R_OK) == 0;
}

// Pictures in order; a picture that cannot be prepared gets no member, but
// its config line stays (the player skips it). False when stopped.
bool addPictures(ZipHandle* zip, const BuildJob& job, const std::string& scratch)
{
    for (size_t i = 0; i < job.pictures.size(); ++i) {
        if (!report(job, job.pictures[i], static_cast<int>(i))) return false;
        if (slideshowPreparePicture(job.pictures[i], scratch, job.settings, job.portraitScreen))
            zipAdd(zip, albumMemberName(static_cast<int>(i)).c_str(), zipSourceFile(scratch.c_str()));
        unlink(scratch.c_str());
    }
    return true;
}

}  // namespace

std::string buildOutputPath(const SlideshowSettings& settings)
{
    if (settings.outputDir.empty() || settings.outputDir.back() == '/') return settings.outputDir + settings.outputName;
    return settings.outputDir + "/" + settings.outputName;
}

std::string replaceExtension(const std::string& name, const std::string& extension)
{
    size_t slash = name.find_last_of("/\\");
    size_t dot = name.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return name + extension;
    return name.substr(0, dot) + extension;
}

BuildResult albumBuild(const BuildJob& job)
{
    AtomicReplace output;
    if (output.open(buildOutputPath(job.settings)) != ReplaceStatus::Ok) return BuildResult::CannotCreate;
    ZipHandle* zip = zipCreateOnHandle(output.fd());
    if (!zip) return BuildResult::CannotCreate;
    // A sound that cannot be read is left out, and the config says so.
    const bool withSound = job.settings.audio && readableFile(job.settings.soundPath);
    const std::string config = writeAlbumConfig(job.pictures, job.settings, withSound);
    // Each prepared picture waits in a private folder: a fixed name in a
    // shared temporary folder could be a link planted by someone else.
    WorkingFolder work;
    if (!work.make(job.temporaryFolder)) return BuildResult::CannotCreate;
    const std::string scratch = work.file("fotrix_temp");
    bool written = zipAdd(zip, "config", zipSourceMemory(config.data(), config.size())) == ZipOk;
    const bool finished = written && addPictures(zip, job, scratch);
    if (finished && withSound) {
        report(job, job.settings.soundPath, static_cast<int>(job.pictures.size()));
        written = zipAdd(zip, albumMemberName(static_cast<int>(job.pictures.size())).c_str(),
                         zipSourceFile(job.settings.soundPath.c_str())) == ZipOk;
    }
    if (finished) report(job, {}, static_cast<int>(job.pictures.size()));
    written = zipClose(zip) == ZipOk && written;
    if (!finished) {
        output.discard();
        return written ? BuildResult::Stopped : BuildResult::CannotCreate;
    }
    if (!written || output.commit() != ReplaceStatus::Ok) return BuildResult::CannotCreate;
    return BuildResult::Done;
}

}  // namespace fotrix
