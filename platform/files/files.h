#pragma once
// Files and folders. Paths are absolute host paths in UTF-8 with "/" as the
// separator; the program's folders end with "/". Failures set GetLastError.
#include "platform/base/types.h"

enum : DWORD {
    FILE_ATTRIBUTE_READONLY = 0x0001,
    FILE_ATTRIBUTE_HIDDEN = 0x0002,   // the name starts with "."
    FILE_ATTRIBUTE_SYSTEM = 0x0004,
    FILE_ATTRIBUTE_DIRECTORY = 0x0010,
    FILE_ATTRIBUTE_ARCHIVE = 0x0020,
    FILE_ATTRIBUTE_NORMAL = 0x0080,   // only when no other attribute applies
    FILE_ATTRIBUTE_TEMPORARY = 0x0100,
};
constexpr DWORD INVALID_FILE_ATTRIBUTES = 0xFFFFFFFF;
enum : DWORD { ERROR_NOT_SAME_DEVICE = 17 };

// 100-nanosecond intervals since 1 January 1601 (UTC unless called local).
struct FILETIME {
    DWORD dwLowDateTime;
    DWORD dwHighDateTime;
};

struct SYSTEMTIME {
    WORD wYear;
    WORD wMonth;
    WORD wDayOfWeek;
    WORD wDay;
    WORD wHour;
    WORD wMinute;
    WORD wSecond;
    WORD wMilliseconds;
};

struct WIN32_FIND_DATA {
    DWORD dwFileAttributes;
    FILETIME ftCreationTime;    // the status change time: Linux keeps no creation time here
    FILETIME ftLastAccessTime;
    FILETIME ftLastWriteTime;
    DWORD nFileSizeHigh;
    DWORD nFileSizeLow;
    DWORD dwOID;
    char cFileName[MAX_PATH];   // the entry's name (storage cards: the card's full path)
};

// "*" and "?" wildcards in the last part, matched without regard to case;
// "*.*" matches every name. "." and ".." are never returned.
HANDLE FindFirstFile(const char* pattern, WIN32_FIND_DATA* data);
BOOL FindNextFile(HANDLE find, WIN32_FIND_DATA* data);
BOOL FindClose(HANDLE find);
bool WildcardMatch(const char* pattern, const char* name);

DWORD GetFileAttributes(const char* path);
// Only the read-only bit can be changed; the others follow from the file
// itself (hidden from its name, directory from its kind) and are ignored.
BOOL SetFileAttributes(const char* path, DWORD attributes);
BOOL CreateDirectory(const char* path, void* security);
BOOL RemoveDirectory(const char* path);      // only an empty folder
BOOL MoveFile(const char* from, const char* to);  // fails when `to` exists
BOOL CopyFile(const char* from, const char* to, BOOL failIfExists);
BOOL DeleteFile(const char* path);           // fails on read-only files and folders

BOOL FileTimeToLocalFileTime(const FILETIME* utc, FILETIME* local);
BOOL LocalFileTimeToFileTime(const FILETIME* local, FILETIME* utc);
BOOL FileTimeToSystemTime(const FILETIME* time, SYSTEMTIME* out);
BOOL SystemTimeToFileTime(const SYSTEMTIME* time, FILETIME* out);
LONG CompareFileTime(const FILETIME* a, const FILETIME* b);
void GetLocalTime(SYSTEMTIME* out);
void GetSystemTime(SYSTEMTIME* out);

// Locale information of the user (LC_ALL, LC_TIME / LC_MESSAGES, LANG).
enum : DWORD { LOCALE_USER_DEFAULT = 0x0400, LOCALE_SYSTEM_DEFAULT = 0x0800 };
enum : DWORD {
    LOCALE_SABBREVLANGNAME = 0x0003,
    LOCALE_SDATE = 0x001D,       // date separator
    LOCALE_STIME = 0x001E,       // time separator
    LOCALE_SSHORTDATE = 0x001F,  // e.g. "dd/MM/yyyy"
    LOCALE_IDATE = 0x0021,       // "0" month-day-year, "1" day-month-year, "2" year-month-day
    LOCALE_SISO639LANGNAME = 0x0059,
    LOCALE_SISO3166CTRYNAME = 0x005A,
};
// Copies the value into buffer and returns its length plus one; 0 on failure.
int GetLocaleInfo(DWORD locale, DWORD type, char* buffer, int capacity);

// The running program's path, and its folder (with a trailing "/").
DWORD GetModuleFileName(HMODULE module, char* buffer, DWORD capacity);
int GetProgramFolder(char* buffer, int capacity);
// The per-user temporary folder under $TMPDIR (created), with a trailing "/".
DWORD GetTempPath(DWORD capacity, char* buffer);

enum : int { CSIDL_PERSONAL = 0x0005, CSIDL_MYPICTURES = 0x0027 };
// "My Documents": XDG_PICTURES_DIR when set, else the home folder; with a trailing "/".
BOOL SHGetSpecialFolderPath(HWND owner, char* buffer, int folder, BOOL create);

// Removable storage: every folder inside /media/$USER and /run/media/$USER
// (FOTRIX_STORAGE_ROOTS, a ":"-separated list, replaces those two).
HANDLE FindFirstFlashCard(WIN32_FIND_DATA* data);
BOOL FindNextFlashCard(HANDLE find, WIN32_FIND_DATA* data);
