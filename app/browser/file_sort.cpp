// The sort keys as a table of comparisons. Every key ends on the path, so the
// order is total and a sort gives the same list whatever the order before.
#include "app/browser/file_sort.h"

#include "app/browser/date_taken.h"

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

// Seconds since 1970 of a file time (100 ns ticks since 1601).
int64_t fileTimeSeconds(const FILETIME& time)
{
    const int64_t ticks = static_cast<int64_t>((static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime);
    return ticks / 10000000 - 11644473600;
}

// The EXIF date taken, or the file's date for a picture without one.
int compareByDateTaken(const FileEntry& a, const FileEntry& b)
{
    const int64_t ta = a.dateTaken ? a.dateTaken : fileTimeSeconds(a.lastWriteTime);
    const int64_t tb = b.dateTaken ? b.dateTaken : fileTimeSeconds(b.lastWriteTime);
    const int c = sign(ta - tb);
    return c ? c : compareByDate(a, b);
}

using Comparison = int (*)(const FileEntry&, const FileEntry&);
constexpr Comparison kComparisons[] = {compareByName, compareByDate,       compareByType,
                                       compareBySize, compareByDimensions, compareByDateTaken};

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
    // The date taken needs the file's EXIF block: read once per entry, and only for this key.
    if ((sort & ~kSortDescending) == SortByDateTaken)
        for (FileEntry& entry : files)
            if (!entry.dateTakenRead && entry.state != EntryAlbum && !(entry.attributes & FILE_ATTRIBUTE_DIRECTORY)) {
                entry.dateTaken = ReadDateTaken(entry.path);
                entry.dateTakenRead = true;
            }
    std::sort(files.begin(), files.end(),
              [sort](const FileEntry& a, const FileEntry& b) { return CompareEntries(a, b, sort) < 0; });
}

}  // namespace fotrix
