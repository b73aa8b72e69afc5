// The folder scan. Names shorter than five characters are never pictures
// (".jpg" alone is a hidden file without a name); directories are never
// listed even when their name looks like a picture's.
#include "app/browser/file_scan.h"

#include "imagelib/formats.h"
#include "platform/files/files.h"

#include <filesystem>
#include <set>

namespace fotrix {

bool IsAlbumName(const std::string& name) { return fileExtension(name) == "alb"; }

bool IsKnownImageExtension(const std::string& name, bool includeAlbums)
{
    if (fileExtension(name).empty()) return false;
    if (includeAlbums && IsAlbumName(name)) return true;
    return extensionIsKnown(name) != 0;
}

bool IsListedFile(const std::string& name, DWORD attributes)
{
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return false;
    return name.size() > 4 && IsKnownImageExtension(name, true);
}

FileEntry MakeFileEntry(const std::string& folder, const WIN32_FIND_DATA& data)
{
    FileEntry entry;
    entry.attributes = data.dwFileAttributes;
    entry.lastWriteTime = data.ftLastWriteTime;
    entry.size = data.nFileSizeLow;
    entry.path = folder + data.cFileName;
    entry.state = IsAlbumName(data.cFileName) ? EntryAlbum : EntryNoThumbnail;
    return entry;
}

namespace {

// Where a folder really lives, so that two link paths to one folder compare equal.
std::string realFolder(const std::string& folder)
{
    std::error_code error;
    std::filesystem::path real = std::filesystem::canonical(folder, error);
    return error ? folder : real.string();
}

void scanOne(const std::string& folder, bool recursive, std::vector<FileEntry>& out, std::set<std::string>& seen)
{
    if (!seen.insert(realFolder(folder)).second) return;
    std::vector<std::string> subFolders;
    WIN32_FIND_DATA data{};
    HANDLE find = FindFirstFile((folder + "*.*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        const std::string name = data.cFileName;
        if (name == ".") continue;
        if (IsListedFile(name, data.dwFileAttributes)) out.push_back(MakeFileEntry(folder, data));
        else if (recursive && (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && name != "..")
            subFolders.push_back(folder + name + "/");
    } while (FindNextFile(find, &data));
    FindClose(find);
    for (const std::string& sub : subFolders) scanOne(sub, recursive, out, seen);
}

}  // namespace

void ScanFolder(const std::string& folder, bool recursive, std::vector<FileEntry>& out)
{
    std::set<std::string> seen;
    scanOne(folder, recursive, out, seen);
}

}  // namespace fotrix
