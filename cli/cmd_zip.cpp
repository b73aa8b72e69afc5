// fotrix-cli zip: create, list and extract zip archives through the archive layer.
#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

#include "archive/zip.h"
#include "cli/arguments.h"
#include "cli/commands.h"

namespace cli {

namespace {

namespace fs = std::filesystem;
using fotrix::ZipHandle;

constexpr int ExitZipFailure = 1;

int report(uint32_t code, const std::string& subject)
{
    std::fprintf(stderr, "error: 0x%" PRIx32 " %s: %s\n", code, fotrix::zipResultText(code).c_str(), subject.c_str());
    return ExitZipFailure;
}

// Adds a file as `name`, or a folder as "name/" followed by its contents (an
// empty name adds only the contents, for "." and the like).
bool addPath(ZipHandle* zip, const fs::path& path, const std::string& name)
{
    std::error_code error;
    if (!fs::is_directory(path, error)) {
        const uint32_t code = fotrix::zipAdd(zip, name.c_str(), path.c_str());
        return code == fotrix::ZipOk || (report(code, path.string()), false);
    }
    if (!name.empty()) {
        const uint32_t code = fotrix::zipAdd(zip, (name + "/").c_str(), fotrix::zipSourceFolder(path.c_str()));
        if (code != fotrix::ZipOk) return report(code, path.string()), false;
    }
    std::vector<fs::path> children;
    for (fs::directory_iterator it(path, error), end; !error && it != end; it.increment(error))
        children.push_back(it->path());
    if (error) return report(fotrix::ZipReadError, path.string()), false;
    std::sort(children.begin(), children.end());
    bool ok = true;
    const std::string prefix = name.empty() ? "" : name + "/";
    for (const fs::path& child : children) ok = addPath(zip, child, prefix + child.filename().string()) && ok;
    return ok;
}

int zipCreate(Arguments args)
{
    if (args.size() < 2) return usageError("zip", "create needs an archive and at least one file");
    const std::string out(args[0]);
    ZipHandle* zip = out == "-" ? fotrix::zipCreateOnHandle(STDOUT_FILENO) : fotrix::zipCreate(out.c_str());
    if (!zip) return report(fotrix::zipLastResult(fotrix::ZipSide::Creating), out);
    bool ok = true;
    for (std::string_view arg : args.subspan(1)) {
        const fs::path path{std::string(arg)};
        const fs::path normal = path.lexically_normal();
        std::string name = normal.has_filename() ? normal.filename().string() : normal.parent_path().filename().string();
        if (name == "." || name == "..") name.clear();
        ok = addPath(zip, path, name) && ok;
    }
    const uint32_t code = fotrix::zipClose(zip);
    if (code != fotrix::ZipOk) return report(code, out);
    return ok ? 0 : ExitZipFailure;
}

const char* methodName(uint16_t method)
{
    return method == 0 ? "stored" : method == 8 ? "deflated" : nullptr;
}

int zipList(Arguments args)
{
    if (args.size() != 1) return usageError("zip", "list takes one archive");
    const std::string path(args[0]);
    ZipHandle* zip = fotrix::zipOpen(path.c_str());
    if (!zip) return report(fotrix::zipLastResult(fotrix::ZipSide::Reading), path);
    const int count = fotrix::zipCount(zip);
    fotrix::ZipEntry entry;
    for (int i = 0; i < count; ++i) {
        if (fotrix::zipGetEntry(zip, i, entry) != fotrix::ZipOk) continue;
        const char* method = methodName(entry.method);
        if (method) std::printf("%s\t%" PRIu64 "\t%s\n", entry.name.c_str(), entry.size, method);
        else std::printf("%s\t%" PRIu64 "\tmethod-%u\n", entry.name.c_str(), entry.size, entry.method);
    }
    fotrix::zipCloseReader(zip);
    return 0;
}

// What extraction may produce unless the command line says otherwise: a
// member that inflates more than 1000 times (deflate's ceiling is about 1030,
// reached only by runs of one byte) or more than 4 GiB in all is refused
// before it is written.
constexpr uint32_t kDefaultMaxRatio = 1000;
constexpr uint64_t kDefaultMaxTotal = uint64_t(4) << 30;

// Takes --max-ratio N and --max-total BYTES (0: no bound) out of the arguments.
bool takeExtractLimits(std::vector<std::string_view>& args, fotrix::ZipExtractLimits& limits)
{
    limits.maxRatio = kDefaultMaxRatio;
    limits.maxTotalSize = kDefaultMaxTotal;
    for (size_t i = 0; i < args.size();) {
        const bool ratio = args[i] == "--max-ratio", total = args[i] == "--max-total";
        if (!ratio && !total) {
            ++i;
            continue;
        }
        if (i + 1 >= args.size()) return false;
        const auto value = parseNumber(args[i + 1]);
        if (!value || *value < 0 || (ratio && *value > UINT32_MAX)) return false;
        if (ratio) limits.maxRatio = static_cast<uint32_t>(*value);
        else limits.maxTotalSize = static_cast<uint64_t>(*value);
        args.erase(args.begin() + static_cast<long>(i), args.begin() + static_cast<long>(i) + 2);
    }
    return true;
}

int zipExtract(Arguments given)
{
    std::vector<std::string_view> args(given.begin(), given.end());
    fotrix::ZipExtractLimits limits;
    if (!takeExtractLimits(args, limits)) return usageError("zip", "--max-ratio and --max-total take a number");
    if (args.size() < 2) return usageError("zip", "extract needs an archive and a folder");
    const std::string path(args[0]), folder(args[1]);
    ZipHandle* zip = fotrix::zipOpen(path.c_str());
    if (!zip) return report(fotrix::zipLastResult(fotrix::ZipSide::Reading), path);
    fotrix::zipSetExtractLimits(zip, limits);
    std::error_code error;
    fs::create_directories(folder, error);
    uint32_t code = fotrix::zipSetBaseDir(zip, folder.c_str());
    if (code != fotrix::ZipOk) {
        fotrix::zipCloseReader(zip);
        return report(code, folder);
    }
    std::vector<int> indexes;
    bool ok = true;
    fotrix::ZipEntry entry;
    if (args.size() == 2) {
        for (int i = 0, count = fotrix::zipCount(zip); i < count; ++i) indexes.push_back(i);
    } else {
        for (std::string_view member : std::span(args).subspan(2)) {
            int index = -1;
            code = fotrix::zipFind(zip, std::string(member).c_str(), false, index, entry);
            if (code == fotrix::ZipOk) indexes.push_back(index);
            else ok = (report(code, std::string(member)), false);
        }
    }
    for (int index : indexes) {
        if (fotrix::zipGetEntry(zip, index, entry) != fotrix::ZipOk) continue;
        // The member's name is the target, relative to the base folder: the
        // archive layer refuses names that would leave it.
        code = fotrix::zipExtract(zip, index, entry.name.c_str());
        if (code != fotrix::ZipOk) ok = (report(code, entry.name), false);
    }
    fotrix::zipCloseReader(zip);
    return ok ? 0 : ExitZipFailure;
}

}  // namespace

int commandZip(Arguments args)
{
    if (args.empty()) return usageError("zip", "missing subcommand");
    const std::string_view sub = args[0];
    const Arguments rest = args.subspan(1);
    if (sub == "create") return zipCreate(rest);
    if (sub == "list") return zipList(rest);
    if (sub == "extract") return zipExtract(rest);
    return usageError("zip", "unknown subcommand");
}

}  // namespace cli
