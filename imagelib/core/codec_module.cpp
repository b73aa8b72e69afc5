// Finds, loads and checks the codec modules (codec_module.h).
//
// A program in the build tree loads the modules of its build tree, an
// installed one those of its installation (moduleFolders); FOTRIX_CODEC_DIR
// names another folder. Every module carries the token of the build that made it, so a
// module left over from another build is refused rather than called with
// structures it does not know.
#include "imagelib/core/codec_module.h"

#include "imagelib/save.h"
#include "imagelib/stream.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

namespace fotrix {

namespace {

#ifndef FOTRIX_HAVE_WEBP
#define FOTRIX_HAVE_WEBP 0
#endif
#ifndef FOTRIX_HAVE_AVIF
#define FOTRIX_HAVE_AVIF 0
#endif
#ifndef FOTRIX_HAVE_HEIF
#define FOTRIX_HAVE_HEIF 0
#endif
#ifndef FOTRIX_HAVE_JXL
#define FOTRIX_HAVE_JXL 0
#endif
#ifndef FOTRIX_HAVE_LCMS2
#define FOTRIX_HAVE_LCMS2 0
#endif
#ifndef FOTRIX_HAVE_LIBRAW
#define FOTRIX_HAVE_LIBRAW 0
#endif

struct ModuleSlot {
    ModuleSlot(const char* moduleName, bool madeByThisBuild) : name(moduleName), built(madeByThisBuild) {}
    const char* name;  // fotrix-codec-NAME.so
    bool built;
    std::once_flag once;
    const CodecEntries* entries = nullptr;
    std::string error;
};

// In the order of CodecModule.
ModuleSlot slots[CodecModuleCount] = {
    {"webp", FOTRIX_HAVE_WEBP}, {"avif", FOTRIX_HAVE_AVIF},   {"heif", FOTRIX_HAVE_HEIF},
    {"jxl", FOTRIX_HAVE_JXL},   {"lcms2", FOTRIX_HAVE_LCMS2}, {"libraw", FOTRIX_HAVE_LIBRAW},
};

std::string programPath()
{
    char path[4096];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    return length > 0 ? std::string(path, static_cast<size_t>(length)) : std::string();
}

bool startsWith(const std::string& text, const std::string& prefix)
{
    return text.compare(0, prefix.size(), prefix) == 0;
}

// Where the module may be, most likely first: the build tree for a program of
// the build tree; for an installed program the installation it was started
// from (bin/ or libexec/fotrix-pocket/ below the prefix, wherever the prefix
// was moved), then the prefix it was built for.
std::vector<std::string> moduleFolders()
{
    if (const char* folder = std::getenv("FOTRIX_CODEC_DIR"); folder && *folder) return {folder};
    const std::string program = programPath();
    if (startsWith(program, FOTRIX_CODEC_BUILD_TREE "/")) return {FOTRIX_CODEC_BUILD_DIR};
    const std::string programFolder = program.substr(0, program.rfind('/') + 1);
    return {programFolder + "../" FOTRIX_CODEC_INSTALL_SUBDIR, programFolder + "../../" FOTRIX_CODEC_INSTALL_SUBDIR,
            FOTRIX_CODEC_INSTALL_DIR};
}

std::string modulePath(const char* name)
{
    const std::string file = std::string("/fotrix-codec-") + name + ".so";
    const std::vector<std::string> folders = moduleFolders();
    for (const std::string& folder : folders)
        if (access((folder + file).c_str(), F_OK) == 0) return folder + file;
    return folders.back() + file;  // not found: dlopen names the path it tried
}

void tryLoad(ModuleSlot& slot)
{
    const std::string path = modulePath(slot.name);
    // Every symbol resolved now: a module the program cannot serve fails here,
    // with the loader's message, not in the middle of a picture.
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* why = dlerror();
        slot.error = why ? why : path + ": cannot load";
        return;
    }
    const auto* entries = static_cast<const CodecEntries*>(dlsym(handle, "fotrix_codec_entries"));
    if (!entries || !entries->buildToken || std::strcmp(entries->buildToken, FOTRIX_CODEC_TOKEN) != 0) {
        slot.error = path + ": made by another build";
        dlclose(handle);
        return;
    }
    // The handle stays open for the life of the process: pictures and
    // threads may hold the module's code at any time.
    slot.entries = entries;
}

void load(ModuleSlot& slot)
{
    if (!slot.built) {
        slot.error = std::string("this build has no ") + slot.name + " module";
        return;
    }
    tryLoad(slot);
    // A module the build made and the program cannot load is a damaged
    // installation; the reader only answers "unknown format", so say why, once.
    if (!slot.entries) std::fprintf(stderr, "fotrix: no %s codec module: %s\n", slot.name, slot.error.c_str());
}

// What the modules call of the library. A program links only the parts of the
// library it uses itself; naming these here links them into every program that
// can load a module, so that the module finds them (its load would fail
// otherwise). The codec module test loads every module into a program that
// uses nothing else.
[[gnu::used]] const void* const functionsForModules[] = {
    // the load pipeline and streams
    reinterpret_cast<const void*>(&imageHeaderDefaults), reinterpret_cast<const void*>(&beginImage),
    reinterpret_cast<const void*>(&readerFail), reinterpret_cast<const void*>(&addMetadata),
    reinterpret_cast<const void*>(&rowDestination), reinterpret_cast<const void*>(&putRows),
    reinterpret_cast<const void*>(&endImage), reinterpret_cast<const void*>(&streamRead),
    reinterpret_cast<const void*>(&streamReadExact), reinterpret_cast<const void*>(&streamSeek),
    // the save pipeline
    reinterpret_cast<const void*>(&writerOpen), reinterpret_cast<const void*>(&beginRows),
    reinterpret_cast<const void*>(&getRows), reinterpret_cast<const void*>(&endRows),
    reinterpret_cast<const void*>(&writeBytes), reinterpret_cast<const void*>(&writerClose),
    // bitmaps
    reinterpret_cast<const void*>(&bitmapAllocate), reinterpret_cast<const void*>(&bitmapRow),
    reinterpret_cast<const void*>(&bitmapCopyAttributes), reinterpret_cast<const void*>(&bitmapMove),
};

}  // namespace

const CodecEntries* codecModule(CodecModule which)
{
    ModuleSlot& slot = slots[static_cast<int>(which)];
    std::call_once(slot.once, load, slot);
    return slot.entries;
}

const char* codecModuleError(CodecModule which)
{
    codecModule(which);  // the error is written once, inside the load
    return slots[static_cast<int>(which)].error.c_str();
}

}  // namespace fotrix
