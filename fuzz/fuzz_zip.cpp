// Opens the input as a zip archive, lists it, and extracts every member into
// memory and into a scratch folder; the sanitizers judge.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "archive/zip.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // A scratch folder for the run, removed when the fuzzer exits.
    static const struct Scratch {
        std::filesystem::path path;
        Scratch()
        {
            char folder[] = "/tmp/fuzz_zip_XXXXXX";
            path = mkdtemp(folder);
        }
        ~Scratch()
        {
            std::error_code ignored;
            std::filesystem::remove_all(path, ignored);
        }
    } scratchFolder;
    const std::filesystem::path& scratch = scratchFolder.path;
    fotrix::ZipHandle* zip = fotrix::zipOpenMemory(data, size);
    if (!zip) return 0;
    fotrix::zipSetBaseDir(zip, scratch.c_str());
    fotrix::ZipEntry entry;
    for (int i = 0, count = fotrix::zipCount(zip); i < count && i < 64; ++i) {
        if (fotrix::zipGetEntry(zip, i, entry) != fotrix::ZipOk) continue;
        if (entry.size <= (1u << 20)) {
            std::vector<uint8_t> out(entry.size);
            fotrix::zipExtractToMemory(zip, i, out);
        }
        fotrix::zipExtract(zip, i, entry.name.c_str());
    }
    fotrix::zipCloseReader(zip);
    std::error_code ignored;
    for (const auto& child : std::filesystem::directory_iterator(scratch, ignored))
        std::filesystem::remove_all(child.path(), ignored);
    return 0;
}
