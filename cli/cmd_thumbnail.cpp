// fotrix-cli thumbnail: thumbnails of many pictures at once, on the browser's
// own loading code (disk cache included), one thread per core by default.
// Each thumbnail is written as OUTDIR/<name without extension>.png.
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <filesystem>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "cli/arguments.h"
#include "imagelib/codecs.h"
#include "imagelib/formats.h"
#include "imagelib/result.h"
#include "imagelib/save.h"
#include "thumbs/thumbnail_cache.h"
#include "thumbs/thumbnail_load.h"

namespace cli {

namespace {

struct ThumbnailJob {
    std::vector<std::string> inputs;
    std::vector<std::string> outputs;
    fotrix::ThumbnailRequest request;
    int jobs = 0;
};

struct Progress {
    std::atomic<size_t> next{0};
    std::atomic<size_t> done{0};
    std::atomic<size_t> failed{0};
    std::mutex printing;
    bool onTerminal = false;
};

int parseOptions(Arguments args, ThumbnailJob& job, std::string& outDir, bool& useCache)
{
    ArgumentReader reader(args);
    bool haveBox = false;
    while (!reader.done()) {
        const std::string_view arg = reader.next();
        if (arg == "--box") {
            auto value = reader.value();
            if (!value || !parseSize(*value, job.request.cellWidth, job.request.cellHeight))
                return usageError("thumbnail", "--box needs WxH");
            haveBox = true;
        } else if (arg == "--out") {
            auto value = reader.value();
            if (!value || value->empty()) return usageError("thumbnail", "--out needs a folder");
            outDir = std::string(*value);
        } else if (arg == "--jobs") {
            auto value = reader.value();
            auto number = value ? parseNumber(*value) : std::nullopt;
            if (!number || *number < 1 || *number > 256) return usageError("thumbnail", "--jobs needs 1 to 256");
            job.jobs = static_cast<int>(*number);
        } else if (arg == "--nearest") {
            job.request.highQuality = false;
        } else if (arg == "--no-cache") {
            useCache = false;
        } else if (arg.size() > 1 && arg[0] == '-') {
            return usageError("thumbnail", "unknown option " + std::string(arg));
        } else {
            job.inputs.emplace_back(arg);
        }
    }
    if (job.inputs.empty()) return usageError("thumbnail", "no picture given");
    if (!haveBox) return usageError("thumbnail", "--box WxH is needed");
    if (outDir.empty()) return usageError("thumbnail", "--out DIR is needed");
    return 0;
}

// OUTDIR/<stem>.png for every input; two inputs of one name are refused
// rather than the second overwriting the first.
bool planOutputs(ThumbnailJob& job, const std::string& outDir)
{
    std::map<std::string, std::string> taken;
    for (const std::string& input : job.inputs) {
        const std::string output = (std::filesystem::path(outDir) / std::filesystem::path(input).stem()).string() + ".png";
        auto [where, fresh] = taken.emplace(output, input);
        if (!fresh) {
            std::fprintf(stderr, "fotrix-cli thumbnail: '%s' and '%s' would both write %s\n", where->second.c_str(),
                         input.c_str(), output.c_str());
            return false;
        }
        job.outputs.push_back(output);
    }
    return true;
}

// Loads one thumbnail and writes it; 0 or the failed step's result code.
int makeOne(const ThumbnailJob& job, size_t index, std::string& reason)
{
    fotrix::Bitmap picture;
    fotrix::FileInfo info{};
    int result = fotrix::loadThumbnailPicture(job.inputs[index], job.request, picture, &info);
    if (result != 0) {
        reason = info.errorText[0] ? info.errorText : fotrix::resultText(result);
        fotrix::freeFileInfo(info);
        return result;
    }
    fotrix::freeFileInfo(info);
    fotrix::SaveParams save;
    fotrix::saveParamsDefaults(save);
    save.format = static_cast<int32_t>(fotrix::formatFindByName("png"));
    save.compression = 3;
    result = fotrix::saveBitmap(job.outputs[index], picture, save);
    fotrix::bitmapFree(picture);
    if (result != 0) reason = std::string("cannot write ") + job.outputs[index] + ": " + fotrix::resultText(result);
    return result;
}

// "N/M" rewritten in place on a terminal; nothing when the output is a file or pipe.
void showProgress(Progress& progress, size_t total)
{
    if (!progress.onTerminal) return;
    std::fprintf(stdout, "\rthumbnails %zu/%zu", progress.done.load(), total);
    std::fflush(stdout);
}

void runWorker(const ThumbnailJob& job, Progress& progress)
{
    const size_t total = job.inputs.size();
    for (size_t index = progress.next++; index < total; index = progress.next++) {
        std::string reason;
        const int result = makeOne(job, index, reason);
        ++progress.done;
        std::lock_guard<std::mutex> guard(progress.printing);
        if (result != 0) {
            ++progress.failed;
            if (progress.onTerminal) std::fprintf(stdout, "\r\033[K");
            std::fprintf(stderr, "fotrix-cli thumbnail: %s: error %d %s\n", job.inputs[index].c_str(), result,
                         reason.c_str());
        }
        showProgress(progress, total);
    }
}

}  // namespace

int commandThumbnail(Arguments args)
{
    ThumbnailJob job;
    job.request.highQuality = true;
    std::string outDir;
    bool useCache = true;
    if (int problem = parseOptions(args, job, outDir, useCache); problem != 0) return problem;
    std::error_code error;
    std::filesystem::create_directories(outDir, error);
    if (!std::filesystem::is_directory(outDir)) {
        std::fprintf(stderr, "fotrix-cli thumbnail: cannot make the folder %s\n", outDir.c_str());
        return 1;
    }
    if (!planOutputs(job, outDir)) return ExitUsage;
    if (useCache) job.request.cacheRoot = fotrix::thumbnailCacheRoot();
    fotrix::libraryInit();
    fotrix::codecFormatsAttach();

    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    const size_t threads = std::min<size_t>(job.jobs > 0 ? size_t(job.jobs) : cores, job.inputs.size());
    Progress progress;
    progress.onTerminal = isatty(STDOUT_FILENO) != 0;
    std::vector<std::thread> workers;
    for (size_t i = 1; i < threads; ++i) workers.emplace_back(runWorker, std::cref(job), std::ref(progress));
    runWorker(job, progress);
    for (std::thread& worker : workers) worker.join();
    if (progress.onTerminal) std::fprintf(stdout, "\n");
    return progress.failed ? 1 : 0;
}

}  // namespace cli
