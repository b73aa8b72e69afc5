#pragma once
// The commands of fotrix-cli. Each takes the arguments after its own name and
// returns the process exit status: 0 on success, the library's result code of
// the failed step, or ExitUsage for a usage error.
#include <span>
#include <string_view>

namespace cli {

constexpr int ExitUsage = 64;

using Arguments = std::span<const std::string_view>;
using CommandFunction = int (*)(Arguments args);

struct Command {
    std::string_view name;
    CommandFunction run;
    std::string_view usage;    // one line: the arguments
    std::string_view summary;  // one line: what it does
};

// The command table (main.cpp).
std::span<const Command> commands();

// Prints "usage: fotrix-cli <usage>" of the named command to stderr and returns ExitUsage.
int usageError(std::string_view command, std::string_view problem = {});

// One function per command, each in its own cmd_<name>.cpp.
int commandInfo(Arguments args);
int commandDecode(Arguments args);
int commandZip(Arguments args);
int commandExif(Arguments args);
int commandIptc(Arguments args);
int commandIptcSet(Arguments args);
int commandTransform(Arguments args);
int commandConvert(Arguments args);
int commandResize(Arguments args);
int commandRotate(Arguments args);
int commandMirror(Arguments args);
int commandFlip(Arguments args);
int commandCrop(Arguments args);
int commandAdjust(Arguments args);
int commandFilter(Arguments args);
int commandColours(Arguments args);
int commandThumbnail(Arguments args);
int commandAlbum(Arguments args);
int commandSendObex(Arguments args);
int commandReceiveObex(Arguments args);

}  // namespace cli
