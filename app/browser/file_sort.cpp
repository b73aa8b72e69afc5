// The sort keys as a table of comparisons. Every key ends on the path, so the
// order is total and a sort gives the same list whatever the order before.
#include "app/browser/file_sort.h"

#include "app/shell/app_state.h"
#include "platform/files/files.h"

#include <algorithm>
#include <cstring>

namespace fotrix {

namespace {

int sign(int64_t v) { return v < 0 ? -1 : v > 0 ? 1 : 0; }

int comparePaths(const FileEntry& a, const FileEntry& b) { return sign(a.path.compare(b.path)); }

bool hasThumbnail(const FileEntry& e) { return e.state == EntryThumbnail; }

int compareByName(const FileEntry& a, const FileEntry& b)
{
    const int c = ComparePathsNoCase(a.path, b.path);
    return c ? c : comparePaths(a, b);
}

int compareByDate(const FileEntry& a, const FileEntry& b)
{
    const int c = CompareFileTime(&a.lastWriteTime, &b.lastWriteTime);
    return c ? c : comparePaths(a, b);
}

int compareByType(const FileEntry& a, const FileEntry& b)
{
    if (hasThumbnail(a) != hasThumbnail(b)) return hasThumbnail(a) ? -1 : 1;
    const int c = sign(std::strncmp(a.info.description, b.info.description, sizeof a.info.description));
    return c ? c : comparePaths(a, b);
}

int compareBySize(const FileEntry& a, const FileEntry& b)
{
    const int c = sign(static_cast<int64_t>(a.size) - static_cast<int64_t>(b.size));
    return c ? c : comparePaths(a, b);
}

// Width, then height: a consistent order that agrees with "wider and taller is
// greater" wherever that rule is consistent.
int compareByDimensions(const FileEntry& a, const FileEntry& b)
{
    if (hasThumbnail(a) != hasThumbnail(b)) return hasThumbnail(a) ? -1 : 1;
    int c = sign(static_cast<int64_t>(a.info.width) - b.info.width);
    if (!c) c = sign(static_cast<int64_t>(a.info.height) - b.info.height);
    return c ? c : comparePaths(a, b);
}

using Comparison = int (*)(const FileEntry&, const FileEntry&);
constexpr Comparison kComparisons[] = {compareByName, compareByDate, compareByType, compareBySize,
                                       compareByDimensions};

bool isFolder(const FileEntry& e) { return e.attributes & FILE_ATTRIBUTE_DIRECTORY; }

}  // namespace

int ComparePathsNoCase(const std::string& a, const std::string& b)
{
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        const int ca = std::tolower(static_cast<unsigned char>(a[i]));
        const int cb = std::tolower(static_cast<unsigned char>(b[i]));
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    return sign(static_cast<int64_t>(a.size()) - static_cast<int64_t>(b.size()));
}

int CompareEntries(const FileEntry& a, const FileEntry& b, int sort)
{
    if (isFolder(a) != isFolder(b)) return isFolder(a) ? -1 : 1;
    if (isFolder(a)) return comparePaths(a, b);
    const int key = sort & ~kSortDescending;
    const bool descending = sort & kSortDescending;
    // Two pictures without thumbnails keep their path order under the dimensions key.
    if (key == SortByDimensions && !hasThumbnail(a) && !hasThumbnail(b)) return comparePaths(a, b);
    const Comparison compare = key >= 0 && key < static_cast<int>(std::size(kComparisons)) ? kComparisons[key]
                                                                                           : compareByName;
    const int c = compare(a, b);
    return descending ? -c : c;
}

void SortEntries(std::vector<FileEntry>& files, int sort)
{
    std::sort(files.begin(), files.end(),
              [sort](const FileEntry& a, const FileEntry& b) { return CompareEntries(a, b, sort) < 0; });
}

}  // namespace fotrix
