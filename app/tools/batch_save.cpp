#include "app/tools/batch_save.h"

#include "app/browser/browser_internal.h"
#include "imagelib/colours.h"
#include "imagelib/formats.h"
#include "imagelib/load.h"
#include "imagelib/save.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

namespace fotrix {

namespace {

// A prefix or suffix is part of one file name: a separator in it would put
// the output into another folder.
std::string withinName(std::string text)
{
    for (char& c : text)
        if (c == '/') c = '_';
    return text;
}

std::string withSlash(std::string folder)
{
    if (!folder.empty() && folder.back() != '/') folder += '/';
    return folder;
}

bool fileExists(const std::string& path)
{
    DWORD attributes = GetFileAttributes(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The output takes the source's modification time, so that sorting by date
// keeps a converted series in the order it was taken.
void copyModificationTime(const std::string& from, const std::string& to)
{
    std::error_code error;
    auto time = std::filesystem::last_write_time(from, error);
    if (!error) std::filesystem::last_write_time(to, time, error);
}

void prepareSave(const ConvertSettings& convert, SaveParams& params)
{
    saveParamsDefaults(params);
    params.format = OutputFormatIndex(convert.format);
    params.quality = static_cast<uint16_t>(convert.jpegQuality);
    params.compression = static_cast<uint16_t>(convert.format == OutputPng ? convert.pngCompression : 0);
    params.keepExif = 1;
    params.keepIptc = 1;
    params.flags |= SaveJpegIcc;
}

}  // namespace

std::string FileNameOf(const std::string& path)
{
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string FolderOf(const std::string& path)
{
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string FormatText(const std::string& format, const std::string& first, const std::string& second)
{
    int length = std::snprintf(nullptr, 0, format.c_str(), first.c_str(), second.c_str());
    if (length <= 0) return format;
    std::string out(static_cast<size_t>(length) + 1, '\0');
    std::snprintf(out.data(), out.size(), format.c_str(), first.c_str(), second.c_str());
    out.resize(static_cast<size_t>(length));
    return out;
}

OutputName batchOutputName(const std::string& sourcePath, const FolderSettings& folder, int format)
{
    OutputName out;
    out.folder = folder.folder.empty() ? FolderOf(sourcePath) : withSlash(folder.folder);
    std::string base = FileNameOf(sourcePath);
    size_t dot = base.rfind('.');
    std::string extension = dot == std::string::npos ? "bmp" : base.substr(dot + 1);
    if (dot != std::string::npos) base.resize(dot);
    std::string name = withinName(folder.prefix) + base + withinName(folder.suffix) + "." + extension;
    const char* outputExtension = formatFirstExtension(OutputFormatIndex(format));
    name = name.substr(0, name.rfind('.') + 1) + (outputExtension ? outputExtension : extension.c_str());
    out.name = name;
    return out;
}

int batchLoad(const std::string& path, Bitmap& bitmap)
{
    LoadParams params;
    loadParamsDefaults(params);
    params.options |= ReadComment | ReadTextInfo | ReadMetadata | ToleratePartial;
    return loadBitmap(path, bitmap, params, nullptr);
}

BatchResult batchSave(HWND owner, const ConvertSettings& convert, const FolderSettings& folder,
                      const TextId* message, const std::string& sourcePath, Bitmap& bitmap)
{
    int mode = OutputColourMode(convert);
    SaveParams params;
    prepareSave(convert, params);
    OutputName output = batchOutputName(sourcePath, folder, convert.format);
    BatchResult result{BatchWritten, output.folder + output.name};
    bool existed = fileExists(result.path);
    if (existed && MessageBox(owner, Tr(kIdsExists).c_str(), "", MB_OKCANCEL | MB_ICONQUESTION) != IDOK) {
        result.code = BatchDeclined;
        return result;
    }
    int code = bitmapConvertColours(bitmap, nullptr, static_cast<unsigned>(mode),
                                    mode == ColourBinary ? DitherDiffusion : DitherNone);
    if (code == 0) code = saveBitmap(result.path, bitmap, params);
    if (code != 0) {
        result.code = code;
        MessageBox(owner, Tr(kIdsProblemSaving).c_str(), "", MB_OK | MB_ICONSTOP);
        return result;
    }
    if (folder.keepTime) copyModificationTime(sourcePath, result.path);
    if (existed) RefreshFile(output.folder, output.name);
    if (message)
        MessageBox(owner, FormatText(Tr(*message), FileNameOf(sourcePath), output.name).c_str(), "",
                   MB_OK | MB_ICONINFORMATION);
    return result;
}

}  // namespace fotrix
