// fotrix-cli album: builds albums and self-running slideshows from pictures,
// lists what an album holds, and plays one in fotrix.
#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/album/core/album_archive.h"
#include "app/album/core/album_build.h"
#include "app/album/core/self_running.h"
#include "app/album/core/slide_source.h"
#include "archive/zip.h"
#include "cli/arguments.h"
#include "imagelib/formats.h"

namespace cli {

namespace {

constexpr int ExitAlbumFailure = 1;

std::string programFolder()
{
    char path[PATH_MAX];
    ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) return ".";
    std::string self(path, static_cast<size_t>(length));
    return self.substr(0, self.rfind('/'));
}

// The first of `candidates` (relative to this program's folder) that exists.
std::string besideProgram(std::initializer_list<const char*> candidates)
{
    const std::string folder = programFolder();
    for (const char* candidate : candidates) {
        std::string path = folder + "/" + candidate;
        if (access(path.c_str(), X_OK) == 0) return path;
    }
    return folder + "/" + *candidates.begin();
}

struct BuildOptions {
    std::string output;
    fotrix::BuildJob job;
    std::string stub;
};

// OUT PICTURES... [--sound FILE] [--delay S] [--loop] [--no-loop] [--transitions] [--size N] [--fit]
// [--rotate N] [--auto-levels] [--quality Q] [--portrait] [--stub PATH]
bool readBuildOptions(std::string_view command, Arguments args, BuildOptions& out)
{
    ArgumentReader reader(args);
    fotrix::SlideshowSettings& settings = out.job.settings;
    settings.loop = 0;
    auto number = [&](int& field, long low, long high) {
        auto text = reader.value();
        auto value = text ? parseNumber(*text) : std::nullopt;
        if (!value || *value < low || *value > high) return false;
        field = static_cast<int>(*value);
        return true;
    };
    while (!reader.done()) {
        std::string_view word = reader.next();
        bool ok = true;
        if (word == "--sound") {
            auto value = reader.value();
            ok = value.has_value();
            if (ok) settings.soundPath = std::string(*value), settings.audio = 1;
        } else if (word == "--delay") ok = number(settings.delay, 1, 3600);
        else if (word == "--size") ok = number(settings.size, 0, 5);
        else if (word == "--rotate") ok = number(settings.rotate, 0, 2);
        else if (word == "--quality") ok = number(settings.jpegQuality, 1, 100);
        else if (word == "--loop") settings.loop = 1;
        else if (word == "--transitions") settings.transitions = 1;
        else if (word == "--fit") settings.fit = 1;
        else if (word == "--auto-levels") settings.autoLevels = 1;
        else if (word == "--portrait") out.job.portraitScreen = true;
        else if (word == "--stub") {
            auto value = reader.value();
            ok = value.has_value();
            if (ok) out.stub = std::string(*value);
        } else if (word.starts_with("--")) ok = false;
        else if (out.output.empty()) out.output = std::string(word);
        else out.job.pictures.emplace_back(word);
        if (!ok) {
            usageError(command, "bad option " + std::string(word));
            return false;
        }
    }
    if (out.output.empty() || out.job.pictures.empty()) {
        usageError(command, "an output and at least one picture are needed");
        return false;
    }
    settings.outputDir.clear();
    settings.outputName = out.output;
    out.job.temporaryFolder = fotrix::temporaryFolderRoot();
    return true;
}

// A progress line that rewrites itself, on a terminal only.
fotrix::BuildProgress terminalProgress()
{
    if (!isatty(STDERR_FILENO)) return {};
    return [](const std::string& text, int index, int total) {
        std::fprintf(stderr, "\r\033[K[%d/%d] %s", index, total, text.c_str());
        if (text.empty()) std::fprintf(stderr, "\n");
        std::fflush(stderr);
        return true;
    };
}

int reportBuild(fotrix::BuildResult result, const std::string& output)
{
    static const char* const texts[] = {"", "Can't create file", "Can't find stub fotrix-slide", "stopped"};
    if (result == fotrix::BuildResult::Done) {
        std::printf("%s\n", output.c_str());
        return 0;
    }
    std::fprintf(stderr, "error: %s: %s\n", texts[static_cast<int>(result)], output.c_str());
    return ExitAlbumFailure;
}

int albumCreate(Arguments args)
{
    BuildOptions options;
    if (!readBuildOptions("album", args, options)) return ExitUsage;
    fotrix::libraryInit();
    options.job.progress = terminalProgress();
    return reportBuild(fotrix::albumBuild(options.job), options.output);
}

int albumSelfRunning(Arguments args)
{
    BuildOptions options;
    if (!readBuildOptions("album", args, options)) return ExitUsage;
    if (options.stub.empty()) options.stub = fotrix::findSlideshowStub();
    fotrix::libraryInit();
    options.job.progress = terminalProgress();
    return reportBuild(fotrix::selfRunningBuild(options.job, options.stub, 0), options.output);
}

const char* const kOpenErrors[] = {"", "not an archive", "no config member", "config is not an album",
                                   "no working folder"};

// name <TAB> size <TAB> label, the pictures first, then the sound; then the keys.
int albumList(Arguments args)
{
    if (args.size() != 1) return usageError("album", "list takes one album");
    const std::string path(args[0]);
    fotrix::AlbumArchive album;
    fotrix::AlbumOpenError error = album.open(path, fotrix::temporaryFolderRoot());
    if (error != fotrix::AlbumOpenError::None) {
        std::fprintf(stderr, "error: %s: %s\n", kOpenErrors[static_cast<int>(error)], path.c_str());
        return ExitAlbumFailure;
    }
    const fotrix::AlbumDescription& d = album.description();
    for (const fotrix::AlbumEntry& entry : d.pictures) std::printf("picture\t%s\t%s\n", entry.member.c_str(), entry.label.c_str());
    if (d.sound) std::printf("sound\t%s\t%s\tkind %d\n", d.sound->member.c_str(), d.sound->label.c_str(), d.soundKind);
    std::printf("delay %d\ttransitions %d\tloop %d\taudio %d\n", d.delay, d.transitions, d.loop, d.audio);
    return 0;
}

int albumPlay(Arguments args)
{
    if (args.empty()) return usageError("album", "play takes one album");
    const std::string program = besideProgram({"fotrix", "../app/fotrix"});
    std::vector<std::string> words{program};
    for (size_t i = 1; i < args.size(); ++i) words.emplace_back(args[i]);
    words.emplace_back(args[0]);
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    execv(program.c_str(), argv.data());
    std::perror(program.c_str());
    return ExitAlbumFailure;
}

}  // namespace

int commandAlbum(Arguments args)
{
    if (args.empty()) return usageError("album", "missing subcommand");
    const std::string_view sub = args[0];
    const Arguments rest = args.subspan(1);
    if (sub == "create") return albumCreate(rest);
    if (sub == "self-running") return albumSelfRunning(rest);
    if (sub == "list") return albumList(rest);
    if (sub == "play") return albumPlay(rest);
    return usageError("album", "unknown subcommand");
}

}  // namespace cli
