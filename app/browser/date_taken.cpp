#include "app/browser/date_taken.h"

#include <cstdio>
#include <ctime>

#include "imagelib/load.h"
#include "metadata/exif.h"

namespace fotrix {

namespace {

constexpr uint32_t kDateTimeOriginal = 0x9003;

void keepDateTaken(void* data, uint32_t, uint32_t tag, const char*, const char* value)
{
    auto* found = static_cast<std::string*>(data);
    if (value && tag == kDateTimeOriginal && found->empty()) *found = value;
}

}  // namespace

int64_t ParseExifDate(const std::string& text)
{
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    char tail = 0;
    if (std::sscanf(text.c_str(), "%4d:%2d:%2d %2d:%2d:%2d%c", &year, &month, &day, &hour, &minute, &second, &tail) !=
        6)
        return 0;
    // Cameras write "0000:00:00 00:00:00" for an unset clock.
    if (year < 1900 || month < 1 || month > 12 || day < 1 || day > 31 || hour > 23 || minute > 59 || second > 60)
        return 0;
    std::tm local{};
    local.tm_year = year - 1900;
    local.tm_mon = month - 1;
    local.tm_mday = day;
    local.tm_hour = hour;
    local.tm_min = minute;
    local.tm_sec = second;
    local.tm_isdst = -1;
    const std::time_t seconds = std::mktime(&local);
    return seconds == static_cast<std::time_t>(-1) ? 0 : static_cast<int64_t>(seconds);
}

int64_t ReadDateTaken(const std::string& path)
{
    FileInfo info{};
    if (getFileInfo(path, -1, ExtensionOnly | ReadMetadata, info) != 0) {
        freeFileInfo(info);
        return 0;
    }
    std::string text;
    exifListTags(info.metadata, keepDateTaken, &text);
    freeFileInfo(info);
    return ParseExifDate(text);
}

}  // namespace fotrix
