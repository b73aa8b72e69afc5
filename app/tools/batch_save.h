#pragma once
// Writing one picture of a batch: the output name from the folder settings,
// the batch load that keeps comment and metadata, and the save step with its
// overwrite question and messages. Every batch tool writes through
// batchSave, so they all name, convert, keep metadata and report alike.
#include "app/resources/texts.h"
#include "app/tools/batch_settings.h"
#include "imagelib/bitmap.h"
#include "platform/windows.h"

#include <string>

namespace fotrix {

// What became of one file of a batch (the `result` the script's state shows).
enum BatchCode : int {
    BatchWritten = 0,    // positive values: the library's result code of a failed save
    BatchDeclined = -1,  // the user kept the existing file
    BatchNotLoaded = -2, // the source could not be read (skipped silently)
    BatchCancelled = -3, // the batch stopped before this file
    BatchSkipped = -4,   // the tool refused this picture (its values do not fit it)
};

struct BatchResult {
    int code = BatchWritten;
    std::string path;  // the file written, or that would have been
};

struct OutputName {
    std::string folder;  // ends with "/"
    std::string name;
};

// The output folder and name of `sourcePath` for output format `format`
// (OutputFormat): prefix + base name + suffix + the format's extension, in
// the settings' folder or, when that is empty, beside the source.
OutputName batchOutputName(const std::string& sourcePath, const FolderSettings& folder, int format);

// Loads a source as a batch does: whole, comment, texts and metadata (EXIF,
// IPTC, ICC) included, tolerating a damaged end. 0 or the library's result.
int batchLoad(const std::string& path, Bitmap& bitmap);

// Converts `bitmap` to the output colour mode and writes it under the
// output name. An existing file is replaced only after the user agrees
// (IDS_EXISTS); a failed save shows IDS_PROBLEM_SAVING; a success shows
// `message` (formatted with the source's and the output's file names)
// unless `message` is null. Messages are owned by `owner`.
BatchResult batchSave(HWND owner, const ConvertSettings& convert, const FolderSettings& folder,
                      const TextId* message, const std::string& sourcePath, Bitmap& bitmap);

// A printf-style text with string arguments, as the messages take them.
std::string FormatText(const std::string& format, const std::string& first, const std::string& second = "");
std::string FileNameOf(const std::string& path);
std::string FolderOf(const std::string& path);

}  // namespace fotrix
