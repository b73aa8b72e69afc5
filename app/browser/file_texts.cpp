// Column texts. The date order and separators come from the user's locale,
// read once; the units come from the language file.
#include "app/browser/file_texts.h"

#include "app/language.h"
#include "imagelib/formats.h"
#include "platform/files/files.h"

#include <cstdio>

namespace fotrix {

namespace {

struct SizeUnit {
    double limit;  // sizes below this use the unit
    double divisor;
    UINT number;
    const char* key;
};
constexpr SizeUnit kUnits[] = {
    {1048576.0, 1024.0, 4087, "IDS_KB"},
    {1073741824.0, 1048576.0, 4088, "IDS_MB"},
    {0, 1073741824.0, 4089, "IDS_GB"},
};

std::string joined(const char* number, const std::string& unit) { return std::string(number) + " " + unit; }

struct DateFormat {
    bool read = false;
    std::string order = "1";
    std::string dateSeparator = "/";
    std::string timeSeparator = ":";
};
DateFormat dateFormat;

std::string localeValue(DWORD type, const char* fallback)
{
    char buffer[16] = "";
    return GetLocaleInfo(LOCALE_USER_DEFAULT, type, buffer, sizeof buffer) > 0 ? std::string(buffer) : fallback;
}

const DateFormat& currentDateFormat()
{
    if (!dateFormat.read) {
        dateFormat.order = localeValue(LOCALE_IDATE, "1");
        dateFormat.dateSeparator = localeValue(LOCALE_SDATE, "/");
        dateFormat.timeSeparator = localeValue(LOCALE_STIME, ":");
        dateFormat.read = true;
    }
    return dateFormat;
}

}  // namespace

void ResetDateFormat() { dateFormat = DateFormat{}; }

std::string SizeText(uint32_t size)
{
    char number[32];
    if (size < 1024) {
        std::snprintf(number, sizeof number, "%u", size);
        return joined(number, Tr(4086, "IDS_BYTES"));
    }
    const SizeUnit* unit = &kUnits[0];
    while (unit->limit > 0 && size >= unit->limit) ++unit;
    std::snprintf(number, sizeof number, "%.2f", size / unit->divisor);
    return joined(number, Tr(unit->number, unit->key));
}

std::string DateText(const FILETIME& time)
{
    FILETIME local{};
    SYSTEMTIME t{};
    if (!FileTimeToLocalFileTime(&time, &local) || !FileTimeToSystemTime(&local, &t)) return {};
    const DateFormat& f = currentDateFormat();
    int first = t.wDay, second = t.wMonth, third = t.wYear;
    if (f.order == "0") first = t.wMonth, second = t.wDay;
    else if (f.order == "2") first = t.wYear, third = t.wDay;
    const char* ds = f.dateSeparator.c_str();
    char text[96];
    if (t.wHour == 0 && t.wMinute == 0 && t.wSecond == 0)
        std::snprintf(text, sizeof text, "%02d%s%02d%s%02d", first, ds, second, ds, third);
    else
        std::snprintf(text, sizeof text, "%02d%s%02d%s%02d %02d%s%02d", first, ds, second, ds, third, t.wHour,
                      f.timeSeparator.c_str(), t.wMinute);
    return text;
}

std::string DimensionsText(const FileInfo& info)
{
    const int bits = info.planes * info.bitsPerPlane;
    char text[64];
    if (bits < 24)
        std::snprintf(text, sizeof text, "%dx%d,%ld", info.width, info.height, 1L << (bits > 0 ? bits : 0));
    else
        std::snprintf(text, sizeof text, "%dx%d,16M", info.width, info.height);
    return text;
}

std::string TypeText(const FileInfo& info)
{
    const char* name = formatShortName(info.formatIndex);
    std::string text = name ? name : "";
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

std::string DisplayName(const std::string& path, bool withExtension)
{
    const size_t slash = path.find_last_of('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (!withExtension) {
        const size_t dot = name.find_last_of('.');
        if (dot != std::string::npos) name.erase(dot);
    }
    return name;
}

}  // namespace fotrix
