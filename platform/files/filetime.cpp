// File times: 100-ns ticks since 1601, conversions to calendar time and the local zone.
#include "platform/files/files_internal.h"

#include <ctime>
#include <sys/time.h>

namespace {

constexpr int64_t kTicksPerSecond = 10000000;
constexpr int64_t kEpochDifference = 11644473600;  // seconds from 1601 to 1970

int64_t ticksOf(const FILETIME& f) { return static_cast<int64_t>((static_cast<uint64_t>(f.dwHighDateTime) << 32) | f.dwLowDateTime); }

FILETIME fromTicks(int64_t t)
{
    auto u = static_cast<uint64_t>(t);
    return FILETIME{static_cast<DWORD>(u & 0xFFFFFFFF), static_cast<DWORD>(u >> 32)};
}

// Offset of local time from UTC, in seconds, at the given Unix time.
int64_t localOffset(int64_t unixSeconds)
{
    time_t t = static_cast<time_t>(unixSeconds);
    tm local{};
    if (!localtime_r(&t, &local)) return 0;
    return local.tm_gmtoff;
}

void toSystemTime(int64_t ticks, SYSTEMTIME* out)
{
    int64_t seconds = ticks / kTicksPerSecond - kEpochDifference;
    int64_t ms = (ticks % kTicksPerSecond) / 10000;
    time_t t = static_cast<time_t>(seconds);
    tm utc{};
    gmtime_r(&t, &utc);
    *out = SYSTEMTIME{static_cast<WORD>(utc.tm_year + 1900), static_cast<WORD>(utc.tm_mon + 1), static_cast<WORD>(utc.tm_wday),
                      static_cast<WORD>(utc.tm_mday), static_cast<WORD>(utc.tm_hour), static_cast<WORD>(utc.tm_min),
                      static_cast<WORD>(utc.tm_sec), static_cast<WORD>(ms)};
}

}  // namespace

FILETIME fileTimeFromUnix(int64_t seconds, int64_t nanoseconds)
{
    return fromTicks((seconds + kEpochDifference) * kTicksPerSecond + nanoseconds / 100);
}

void fillFindData(const std::string&, const std::string& name, const struct stat& st, WIN32_FIND_DATA& out)
{
    out.dwFileAttributes = attributesOf(name, st);
    out.ftCreationTime = fileTimeFromUnix(st.st_ctim.tv_sec, st.st_ctim.tv_nsec);
    out.ftLastAccessTime = fileTimeFromUnix(st.st_atim.tv_sec, st.st_atim.tv_nsec);
    out.ftLastWriteTime = fileTimeFromUnix(st.st_mtim.tv_sec, st.st_mtim.tv_nsec);
    uint64_t size = S_ISDIR(st.st_mode) ? 0 : static_cast<uint64_t>(st.st_size);
    out.nFileSizeHigh = static_cast<DWORD>(size >> 32);
    out.nFileSizeLow = static_cast<DWORD>(size & 0xFFFFFFFF);
    std::snprintf(out.cFileName, sizeof out.cFileName, "%s", name.c_str());
}

BOOL FileTimeToLocalFileTime(const FILETIME* utc, FILETIME* local)
{
    if (!utc || !local) return FALSE;
    int64_t t = ticksOf(*utc);
    *local = fromTicks(t + localOffset(t / kTicksPerSecond - kEpochDifference) * kTicksPerSecond);
    return TRUE;
}

BOOL LocalFileTimeToFileTime(const FILETIME* local, FILETIME* utc)
{
    if (!local || !utc) return FALSE;
    int64_t t = ticksOf(*local);
    int64_t guess = t / kTicksPerSecond - kEpochDifference;
    // The offset at the UTC instant, found from a first guess made with the local value.
    int64_t offset = localOffset(guess - localOffset(guess));
    *utc = fromTicks(t - offset * kTicksPerSecond);
    return TRUE;
}

BOOL FileTimeToSystemTime(const FILETIME* time, SYSTEMTIME* out)
{
    if (!time || !out || ticksOf(*time) < 0) return FALSE;
    toSystemTime(ticksOf(*time), out);
    return TRUE;
}

BOOL SystemTimeToFileTime(const SYSTEMTIME* time, FILETIME* out)
{
    if (!time || !out || time->wMonth < 1 || time->wMonth > 12 || time->wDay < 1 || time->wDay > 31 || time->wHour > 23 ||
        time->wMinute > 59 || time->wSecond > 59 || time->wMilliseconds > 999 || time->wYear < 1601)
        return FALSE;
    tm t{};
    t.tm_year = time->wYear - 1900;
    t.tm_mon = time->wMonth - 1;
    t.tm_mday = time->wDay;
    t.tm_hour = time->wHour;
    t.tm_min = time->wMinute;
    t.tm_sec = time->wSecond;
    int64_t seconds = timegm(&t);
    *out = fromTicks((seconds + kEpochDifference) * kTicksPerSecond + int64_t{time->wMilliseconds} * 10000);
    return TRUE;
}

LONG CompareFileTime(const FILETIME* a, const FILETIME* b)
{
    int64_t x = ticksOf(*a), y = ticksOf(*b);
    return x < y ? -1 : x > y ? 1 : 0;
}

void GetSystemTime(SYSTEMTIME* out)
{
    timeval tv;
    gettimeofday(&tv, nullptr);
    toSystemTime(ticksOf(fileTimeFromUnix(tv.tv_sec, int64_t{tv.tv_usec} * 1000)), out);
}

void GetLocalTime(SYSTEMTIME* out)
{
    timeval tv;
    gettimeofday(&tv, nullptr);
    FILETIME utc = fileTimeFromUnix(tv.tv_sec, int64_t{tv.tv_usec} * 1000), local;
    FileTimeToLocalFileTime(&utc, &local);
    toSystemTime(ticksOf(local), out);
}
