// fotrix-cli iptc FILE and iptc-set FILE: list and write IPTC datasets.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "cli/commands.h"
#include "imagelib/result.h"
#include "metadata/iptc.h"
#include "metadata/jpeg_segments.h"

namespace cli {

namespace {

void printValue(void*, uint32_t, uint32_t, const char* label, const char* value)
{
    if (value) std::printf("%s\t%s\n", label, value);
}

int reportError(int code)
{
    std::fprintf(stderr, "error: %d %s\n", code, fotrix::resultText(code));
    return code;
}

// "N=TEXT" with N a dataset number 0..255.
bool parseAssignment(std::string_view arg, int& dataset, std::string& text)
{
    size_t equals = arg.find('=');
    if (equals == std::string_view::npos || equals == 0) return false;
    std::string number(arg.substr(0, equals));
    char* end = nullptr;
    long value = std::strtol(number.c_str(), &end, 10);
    if (*end != '\0' || value < 0 || value > 255) return false;
    dataset = static_cast<int>(value);
    text = std::string(arg.substr(equals + 1));
    return true;
}

}  // namespace

int commandIptc(Arguments args)
{
    if (args.size() != 1) return usageError("iptc");
    fotrix::MetadataBlock* metadata = nullptr;
    int result = fotrix::metadataReadFile(std::string(args[0]), metadata);
    if (result != 0) return reportError(result);
    fotrix::iptcListTags(metadata, printValue, nullptr);
    fotrix::metadataFreeList(metadata);
    return 0;
}

int commandIptcSet(Arguments args)
{
    if (args.empty()) return usageError("iptc-set");
    std::string path(args[0]);
    bool clear = false;
    for (size_t i = 1; i < args.size(); ++i)
        if (args[i] == "--clear") clear = true;

    fotrix::IptcRecord record;
    if (!clear) {
        fotrix::MetadataBlock* metadata = nullptr;
        int result = fotrix::metadataReadFile(path, metadata);
        if (result != 0) return reportError(result);
        fotrix::iptcRead(metadata, record);
        fotrix::metadataFreeList(metadata);
    }
    // Replaced datasets start empty, so several --set of one list build it up.
    bool setSeen[256] = {};
    for (size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "--clear") continue;
        bool set = args[i] == "--set";
        if ((!set && args[i] != "--add") || i + 1 >= args.size()) return usageError("iptc-set", "bad argument");
        int dataset = 0;
        std::string text;
        if (!parseAssignment(args[++i], dataset, text)) return usageError("iptc-set", "expected N=TEXT");
        if (set && !setSeen[dataset]) {
            fotrix::iptcSetValue(record, dataset, text);
            setSeen[dataset] = true;
        } else {
            fotrix::iptcAddValue(record, dataset, text);
        }
    }
    int result = fotrix::iptcWriteJpeg(path.c_str(), record);
    if (result == 1) {
        std::fprintf(stderr, "error: 1 nothing to write\n");
        return result;
    }
    if (result == 6) {
        std::fprintf(stderr, "error: 6 no place for the IPTC segment, or the file cannot be written\n");
        return result;
    }
    if (result != 0) return reportError(result);
    return 0;
}

}  // namespace cli
