// Locale information from the POSIX locale settings: the language code, and the
// date order and separators (from the C library's locale data when it is
// installed, else from a small table of countries).
#include "platform/files/files.h"

#include <algorithm>
#include <cctype>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <langinfo.h>
#include <locale.h>
#include <string>

namespace {

std::string localeFor(const char* category)
{
    for (const char* name : {"LC_ALL", category, "LANG"}) {
        const char* v = std::getenv(name);
        if (v && *v) return v;
    }
    return "C";
}

// "fr_CA.UTF-8@euro" gives language "fr" and country "CA"; "C" and "POSIX" are English.
void splitLocale(const std::string& name, std::string& language, std::string& country)
{
    language.clear();
    country.clear();
    size_t i = 0;
    while (i < name.size() && std::isalpha(static_cast<unsigned char>(name[i]))) language += static_cast<char>(std::tolower(name[i++]));
    if (i < name.size() && (name[i] == '_' || name[i] == '-')) {
        ++i;
        while (i < name.size() && std::isalpha(static_cast<unsigned char>(name[i]))) country += static_cast<char>(std::toupper(name[i++]));
    }
    if (language.size() < 2 || language.size() > 3 || language == "c" || language == "posix") {
        language = "en";
        country = "US";
    }
}

struct DateStyle {
    int order;  // 0 MDY, 1 DMY, 2 YMD
    char separator;
};

DateStyle styleFromTable(const std::string& language, const std::string& country)
{
    static const char* const mdyCountries[] = {"US", "PH", "BZ", "FM", "MH", "PW"};
    static const char* const ymdLanguages[] = {"zh", "ja", "ko", "hu", "lt", "mn"};
    static const char* const dotLanguages[] = {"de", "ru", "pl", "fi", "nb", "no", "cs", "sk", "tr", "uk", "da", "ro", "hr", "sl", "bg", "et", "lv", "is", "sr"};
    for (const char* c : mdyCountries)
        if (country == c) return {0, '/'};
    if (language == "en" && country.empty()) return {0, '/'};
    for (const char* l : ymdLanguages)
        if (language == l) return {2, language == "hu" ? '.' : language == "lt" ? '-' : '/'};
    if (language == "sv") return {2, '-'};
    if (language == "nl") return {1, '-'};
    for (const char* l : dotLanguages)
        if (language == l) return {1, '.'};
    return {1, '/'};
}

// Reads the order and separator from the locale's date format ("%d/%m/%Y").
bool styleFromLocale(const std::string& name, DateStyle& out)
{
    locale_t loc = newlocale(LC_TIME_MASK, name.c_str(), nullptr);
    if (!loc) return false;
    std::string fmt = nl_langinfo_l(D_FMT, loc);
    freelocale(loc);
    size_t d = fmt.find("%d"), m = fmt.find("%m");
    size_t y = fmt.find("%y");
    if (y == std::string::npos) y = fmt.find("%Y");
    if (d == std::string::npos || m == std::string::npos || y == std::string::npos) return false;
    out.order = y < m ? 2 : d < m ? 1 : 0;
    size_t first = std::min({d, m, y});
    out.separator = first + 2 < fmt.size() ? fmt[first + 2] : '/';
    return true;
}

int copyOut(const std::string& value, char* buffer, int capacity)
{
    int need = static_cast<int>(value.size()) + 1;
    if (capacity == 0) return need;
    if (!buffer || capacity < need) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::memcpy(buffer, value.c_str(), static_cast<size_t>(need));
    return need;
}

}  // namespace

int GetLocaleInfo(DWORD, DWORD type, char* buffer, int capacity)
{
    std::string language, country;
    bool forDates = type == LOCALE_SDATE || type == LOCALE_IDATE || type == LOCALE_SSHORTDATE || type == LOCALE_STIME;
    std::string name = localeFor(forDates ? "LC_TIME" : "LC_MESSAGES");
    splitLocale(name, language, country);
    DateStyle style{};
    if (forDates && !styleFromLocale(name, style)) style = styleFromTable(language, country);
    switch (type) {
    case LOCALE_SISO639LANGNAME:
        return copyOut(language, buffer, capacity);
    case LOCALE_SISO3166CTRYNAME:
        return copyOut(country, buffer, capacity);
    case LOCALE_SABBREVLANGNAME: {
        std::string abbrev = language.substr(0, 2);
        for (char& c : abbrev) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        return copyOut(abbrev + (country.empty() ? 'X' : country[0]), buffer, capacity);
    }
    case LOCALE_IDATE:
        return copyOut(std::to_string(style.order), buffer, capacity);
    case LOCALE_SDATE:
        return copyOut(std::string(1, style.separator), buffer, capacity);
    case LOCALE_STIME:
        return copyOut(":", buffer, capacity);
    case LOCALE_SSHORTDATE: {
        std::string s(1, style.separator);
        const char* parts[3][3] = {{"MM", "dd", "yyyy"}, {"dd", "MM", "yyyy"}, {"yyyy", "MM", "dd"}};
        auto& p = parts[style.order];
        return copyOut(std::string(p[0]) + s + p[1] + s + p[2], buffer, capacity);
    }
    default:
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
}
