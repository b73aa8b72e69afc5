#pragma once
// File search: pictures found by name, type and size in a folder and,
// optionally, its sub-folders.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace fotrix {

struct SearchCriteria {
    std::string folder;     // ends with "/"
    std::string contains;   // case-sensitive; empty: any name
    int sizeIndex = 0;      // the size list: 0 any, "< 50K", "> 50K", "< 100K", "> 100K", "< 200K", "> 200K"
    int typeIndex = 0;      // the type list: 0 any, JPEG, GIF, BMP, PNG, Targa
    bool subFolders = false;
};

// The find pattern of a type-list index.
const char* SearchPattern(int typeIndex);
// Whether a file of `bytes` passes the size filter: the size counts in whole
// kilobytes (rounded down to a multiple of 1024) before it is compared.
bool PassesSizeFilter(uint64_t bytes, int sizeIndex);
// The matching picture files, each folder's files before its sub-folders
// (depth first); `found` hears the running count.
std::vector<std::string> SearchFiles(const SearchCriteria& criteria, const std::function<void(int)>& found = {});

}  // namespace fotrix
