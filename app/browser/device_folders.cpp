#include "app/browser/device_folders.h"

#include "app/browser/file_scan.h"
#include "imagelib/formats.h"
#include "platform/files/files.h"

#include <filesystem>
#include <set>

#include <cstdlib>

namespace fotrix {

namespace {

std::string asFolder(std::string path)
{
    if (path.empty() || path.back() != '/') path += '/';
    return path;
}

// Icons and ".jpe" files do not make a folder of pictures.
bool isPictureFile(const WIN32_FIND_DATA& data)
{
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return false;
    const std::string extension = fileExtension(data.cFileName);
    return extension != "ico" && extension != "jpe" && IsKnownImageExtension(data.cFileName, true);
}

bool searchPictures(const std::string& folder, std::set<std::string>& seen, std::string* found)
{
    std::error_code error;
    const std::string real = std::filesystem::canonical(folder, error).string();
    if (!seen.insert(error ? folder : real).second) return false;
    std::vector<std::string> subFolders;
    WIN32_FIND_DATA data{};
    HANDLE find = FindFirstFile((folder + "*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return false;
    bool here = false;
    do {
        if (isPictureFile(data)) here = true;
        else if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) subFolders.push_back(folder + data.cFileName + "/");
    } while (!here && FindNextFile(find, &data));
    FindClose(find);
    if (here) {
        *found = folder;
        return true;
    }
    for (const std::string& sub : subFolders)
        if (searchPictures(sub, seen, found)) return true;
    return false;
}

}  // namespace

bool FindPictureFolder(const std::string& folder, std::string* found)
{
    std::set<std::string> seen;
    return searchPictures(folder, seen, found);
}

std::string StorageCardFolder()
{
    const std::vector<std::string> cards = StorageCards();
    for (const std::string& card : cards) {
        std::string found;
        if (FindPictureFolder(card, &found)) return found;
    }
    return cards.empty() ? std::string() : cards.back();
}

std::string PersonalFolder()
{
    if (const char* home = std::getenv("FOTRIX_HOME"); home && *home == '/') return asFolder(home);
    char buffer[MAX_PATH] = "";
    if (SHGetSpecialFolderPath(nullptr, buffer, CSIDL_PERSONAL, FALSE)) return asFolder(buffer);
    return "/";
}

std::vector<std::string> StorageCards()
{
    std::vector<std::string> cards;
    if (const char* list = std::getenv("FOTRIX_CARDS"); list && *list) {
        std::string text = list;
        size_t start = 0;
        while (start <= text.size()) {
            size_t end = text.find(':', start);
            if (end == std::string::npos) end = text.size();
            if (end > start && text[start] == '/') cards.push_back(asFolder(text.substr(start, end - start)));
            start = end + 1;
        }
        return cards;
    }
    WIN32_FIND_DATA data{};
    HANDLE find = FindFirstFlashCard(&data);
    if (find == INVALID_HANDLE_VALUE) return cards;
    do cards.push_back(asFolder(data.cFileName));
    while (FindNextFlashCard(find, &data));
    FindClose(find);
    return cards;
}

}  // namespace fotrix
