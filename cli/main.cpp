// fotrix-cli: reads, converts and inspects pictures with the Fotrix image library.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "cli/commands.h"

namespace cli {

namespace {

const Command commandTable[] = {
    {"info", commandInfo, "info FILE [--frame N] [--format NAME] [--quality]",
     "describe a picture file without decoding its pixels"},
    {"decode", commandDecode,
     "decode FILE OUT.pam [--frame N] [--box WxH] [--area] [--options NAME,NAME...] "
     "[--channel-order N] [--origin N] [--raw-preview] [--texts] [--auto-rotate] [--orient]",
     "load a picture through the load pipeline and write it as PAM"},
    {"zip", commandZip, "zip create OUT.zip FILE... | zip list ARCHIVE | zip extract ARCHIVE DIR [MEMBER...] [--max-ratio N] [--max-total BYTES]",
     "create, list or extract a zip archive"},
    {"exif", commandExif, "exif FILE", "list the EXIF values of a picture, maker notes included"},
    {"iptc", commandIptc, "iptc FILE", "list the IPTC captions and keywords of a JPEG file"},
    {"iptc-set", commandIptcSet, "iptc-set FILE [--clear] [--set N=TEXT]... [--add N=TEXT]...",
     "write IPTC datasets into a JPEG file"},
    {"transform", commandTransform, "transform IN OUT --op rot90|rot180|rot270|flip-v|flip-h [--no-trim]",
     "turn or flip a JPEG file without loss"},
    {"convert", commandConvert,
     "convert IN OUT [--format jpeg|png|gif|bmp|tga|webp] [--quality Q] [--lossless] [--compression L] [--colours MODE] "
     "[--dither D] [--rle] [--interlace] [--os2] [--gif87a]",
     "write a picture in another format"},
    {"resize", commandResize, "resize IN OUT --size WxH [--method area|nearest|shrink] [--format NAME]",
     "resize a picture"},
    {"rotate", commandRotate, "rotate IN OUT --angle A [--format NAME]", "turn a picture by quarter turns"},
    {"mirror", commandMirror, "mirror IN OUT [--format NAME]", "mirror a picture left to right"},
    {"flip", commandFlip, "flip IN OUT [--format NAME]", "flip a picture top to bottom"},
    {"crop", commandCrop, "crop IN OUT --rect X,Y,W,H [--format NAME]", "keep a rectangle of a picture"},
    {"adjust", commandAdjust,
     "adjust IN OUT [--brightness B] [--contrast C] [--gamma G] [--auto-levels] [--auto-contrast] "
     "[--balance R,G,B] [--format NAME]",
     "correct tones and colours"},
    {"filter", commandFilter, "filter IN OUT --smooth S|--sharpen S|--denoise [--format NAME]",
     "smooth, sharpen or reduce noise"},
    {"colours", commandColours, "colours IN OUT --mode M [--dither D] [--format NAME]",
     "convert to black and white, grey levels, a palette or a true-colour layout"},
    {"thumbnail", commandThumbnail,
     "thumbnail FILE... --box WxH --out DIR [--jobs N] [--nearest] [--no-cache]",
     "make thumbnails as the browser does (disk cache included), one thread per core"},
    {"album", commandAlbum,
     "album create OUT.alb PICTURES... [--sound FILE] [--delay S] [--loop] [--transitions] [--size N] [--fit] "
     "[--rotate N] [--auto-levels] [--quality Q] [--portrait] | album self-running OUT.run PICTURES... [same] "
     "[--stub PATH] | album list ALBUM | album play ALBUM [FOTRIX OPTIONS]",
     "build, list or play an album or a self-running slideshow"},
    {"send-obex", commandSendObex, "send-obex FILE HOST[:PORT] [--timeout MS]", "send one file to an OBEX receiver over TCP"},
    {"receive-obex", commandReceiveObex, "receive-obex DIR [--port N] [--once] [--timeout MS]",
     "receive files over OBEX on TCP into a folder"},
};

void printHelp(FILE* out)
{
    std::fprintf(out, "usage: fotrix-cli COMMAND [ARGUMENTS]\n\ncommands:\n");
    // The summaries line up after the longest command name.
    size_t width = 0;
    for (const Command& command : commandTable) width = std::max(width, command.name.size());
    for (const Command& command : commandTable)
        std::fprintf(out, "  %-*.*s  %.*s\n", static_cast<int>(width), static_cast<int>(command.name.size()),
                     command.name.data(), static_cast<int>(command.summary.size()), command.summary.data());
    std::fprintf(out, "\n'fotrix-cli COMMAND --help' shows a command's arguments.\n");
}

}  // namespace

std::span<const Command> commands() { return commandTable; }

int usageError(std::string_view name, std::string_view problem)
{
    if (!problem.empty())
        std::fprintf(stderr, "fotrix-cli %.*s: %.*s\n", static_cast<int>(name.size()), name.data(),
                     static_cast<int>(problem.size()), problem.data());
    for (const Command& command : commandTable)
        if (command.name == name)
            std::fprintf(stderr, "usage: fotrix-cli %.*s\n", static_cast<int>(command.usage.size()),
                         command.usage.data());
    return ExitUsage;
}

}  // namespace cli

int main(int argc, char** argv)
{
    std::vector<std::string_view> args(argv + 1, argv + argc);
    if (args.empty()) {
        cli::printHelp(stderr);
        return cli::ExitUsage;
    }
    if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        cli::printHelp(stdout);
        return 0;
    }
    for (const cli::Command& command : cli::commands()) {
        if (command.name != args[0]) continue;
        cli::Arguments rest(args.data() + 1, args.size() - 1);
        for (std::string_view arg : rest) {
            if (arg == "--help" || arg == "-h") {
                std::printf("usage: fotrix-cli %.*s\n%.*s\n", static_cast<int>(command.usage.size()),
                            command.usage.data(), static_cast<int>(command.summary.size()),
                            command.summary.data());
                return 0;
            }
        }
        return command.run(rest);
    }
    std::fprintf(stderr, "fotrix-cli: unknown command '%.*s'\n", static_cast<int>(args[0].size()), args[0].data());
    cli::printHelp(stderr);
    return cli::ExitUsage;
}
