#pragma once
// Loading and saving for the editing commands: pictures are loaded with their
// comment and metadata and written in the output's format (by extension
// unless --format names one).
#include <functional>
#include <string>

#include "cli/arguments.h"
#include "imagelib/bitmap.h"
#include "imagelib/save.h"

namespace cli {

// The arguments every editing command shares: IN, OUT and the save options.
struct EditRequest {
    std::string input, output;
    std::string formatName;  // --format
    fotrix::SaveParams params;
    int colourMode = 0;      // --colours (0: only what the format needs)
    int dither = 4;          // --dither
};

// Reads one shared flag at `arg`; returns 1 when it was one, 0 when not,
// or ExitUsage (negated) for a bad value.
int parseSaveFlag(std::string_view command, std::string_view arg, ArgumentReader& reader, EditRequest& request);
// Takes IN and OUT as the first two positional words; false when more follow.
bool takePositional(std::string_view arg, EditRequest& request);

// A colour mode by number (1..24) or name (bw, grey4..grey256, palette8..palette256, rgb,
// rgba, bgr, abgr, bgra, argb); 0 when unknown.
int parseColourMode(std::string_view text);

// Reads IN, OUT, the shared flags and, through `extra`, the command's own
// flags (`extra` returns 1 when it took the flag, 0 when not, -ExitUsage on a
// bad value). Returns 0 or ExitUsage.
int parseEditArguments(std::string_view command, Arguments args, EditRequest& request,
                       const std::function<int(std::string_view, ArgumentReader&)>& extra = {});

// Loads IN (reporting failures); 0 or the load result.
int loadForEditing(const std::string& path, fotrix::Bitmap& bitmap);
// Converts colours as asked, then to what the output format takes, and saves.
int saveEdited(EditRequest& request, fotrix::Bitmap& bitmap);

// Runs the common frame: library start, load, `edit`, save, clean-up.
int runEdit(EditRequest& request, int (*edit)(fotrix::Bitmap& bitmap, const void* data), const void* data);

}  // namespace cli
