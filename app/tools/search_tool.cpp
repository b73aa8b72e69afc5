// File search: the pattern of the chosen type, the name text, the size
// filter and the picture extensions the browser lists decide which files
// match; the folder's own files come before its sub-folders.
#include "app/tools/search_tool.h"

#include "app/browser/file_scan.h"

#include <filesystem>
#include <iterator>
#include <set>
#include <system_error>

namespace fotrix {

namespace {

constexpr const char* kPatterns[] = {"*.*", "*.jpg", "*.gif", "*.bmp", "*.png", "*.tga"};

struct SizeRule {
    uint64_t limit;
    bool atMost;
};
constexpr SizeRule kSizeRules[] = {{51200, true},  {51200, false},  {102400, true},
                                   {102400, false}, {204800, true}, {204800, false}};

std::string realFolder(const std::string& folder)
{
    std::error_code error;
    auto real = std::filesystem::canonical(folder, error);
    return error ? folder : real.string();
}

struct Search {
    const SearchCriteria& criteria;
    const std::function<void(int)>& found;
    std::vector<std::string> out;
    std::set<std::string> seen;  // folders reached twice through links are searched once
};

bool matches(const Search& s, const WIN32_FIND_DATA& data)
{
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return false;
    std::string name = data.cFileName;
    if (!s.criteria.contains.empty() && name.find(s.criteria.contains) == std::string::npos) return false;
    if (!IsKnownImageExtension(name, false)) return false;
    uint64_t size = (uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
    return PassesSizeFilter(size, s.criteria.sizeIndex);
}

void searchFolder(Search& s, const std::string& folder)
{
    if (!s.seen.insert(realFolder(folder)).second) return;
    WIN32_FIND_DATA data{};
    HANDLE find = FindFirstFile((folder + SearchPattern(s.criteria.typeIndex)).c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            if (!matches(s, data)) continue;
            s.out.push_back(folder + data.cFileName);
            if (s.found) s.found(static_cast<int>(s.out.size()));
        } while (FindNextFile(find, &data));
        FindClose(find);
    }
    if (!s.criteria.subFolders) return;
    std::vector<std::string> folders;
    find = FindFirstFile((folder + "*.*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) folders.push_back(folder + data.cFileName + "/");
    } while (FindNextFile(find, &data));
    FindClose(find);
    for (const std::string& sub : folders) searchFolder(s, sub);
}

}  // namespace

const char* SearchPattern(int typeIndex)
{
    return typeIndex > 0 && typeIndex < static_cast<int>(std::size(kPatterns)) ? kPatterns[typeIndex] : kPatterns[0];
}

bool PassesSizeFilter(uint64_t bytes, int sizeIndex)
{
    if (sizeIndex <= 0 || sizeIndex > static_cast<int>(std::size(kSizeRules))) return true;
    const SizeRule& rule = kSizeRules[sizeIndex - 1];
    uint64_t counted = bytes / 1024 * 1024;
    return rule.atMost ? counted <= rule.limit : counted > rule.limit;
}

std::vector<std::string> SearchFiles(const SearchCriteria& criteria, const std::function<void(int)>& found)
{
    Search s{criteria, found, {}, {}};
    std::string folder = criteria.folder;
    if (folder.empty()) return {};
    if (folder.back() != '/') folder += '/';
    searchFolder(s, folder);
    return s.out;
}

}  // namespace fotrix
