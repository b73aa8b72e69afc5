#include "app/browser/device_folders.h"

#include "platform/files/files.h"

#include <cstdlib>

namespace fotrix {

namespace {

std::string asFolder(std::string path)
{
    if (path.empty() || path.back() != '/') path += '/';
    return path;
}

}  // namespace

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
