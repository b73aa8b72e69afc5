#pragma once
// File change notifications: a window registers for a folder (and, if asked,
// everything below it) and is posted WM_FILECHANGEINFO for each change there.
// lParam is a FILECHANGENOTIFY whose items are paths; the window frees it with
// SHChangeNotifyFree once it has read it.
#include "platform/base/types.h"
#include "platform/files/files.h"
#include "platform/window/messages.h"

// Event kinds (FILECHANGEINFO.wEventId and the registration's mask).
enum : LONG {
    SHCNE_RENAMEITEM = 0x00000001,    // dwItem1 the old path, dwItem2 the new one
    SHCNE_CREATE = 0x00000002,
    SHCNE_DELETE = 0x00000004,
    SHCNE_MKDIR = 0x00000008,
    SHCNE_RMDIR = 0x00000010,         // also the watched folder itself vanishing
    SHCNE_ATTRIBUTES = 0x00000800,
    SHCNE_UPDATEDIR = 0x00001000,     // changes were lost: read the folder again
    SHCNE_UPDATEITEM = 0x00002000,    // a file was written and closed
    SHCNE_RENAMEFOLDER = 0x00020000,
    SHCNE_ALLEVENTS = 0x7FFFFFFF,
};
// FILECHANGEINFO.uFlags: the items are paths (UTF-8, "/" separators, no trailing "/").
enum : ULONG_PTR { SHCNF_PATH = 0x0001 };

constexpr UINT WM_FILECHANGEINFO = WM_APP + 0x101;

struct SHCHANGENOTIFYENTRY {
    DWORD dwEventMask;
    const char* pszWatchDir;  // the folder to watch (with or without a trailing "/")
    BOOL fRecursive;          // also every folder below it, including ones made later
};

struct FILECHANGEINFO {
    DWORD cbSize;
    LONG wEventId;
    ULONG_PTR uFlags;
    DWORD_PTR dwItem1;  // const char* path
    DWORD_PTR dwItem2;  // const char* new path of a rename, else 0
    DWORD dwAttributes; // of the item after the change (as it was, for deletions: the directory bit)
    FILETIME ftModified;
    DWORD nFileSize;
};

struct FILECHANGENOTIFY {
    DWORD dwRefCount;
    FILECHANGEINFO fci;
};

// Registers `hwnd` for the changes in entry->dwEventMask under entry->pszWatchDir.
// A window has one registration: registering again replaces the previous one.
// Fails (FALSE, ERROR_PATH_NOT_FOUND) when the folder cannot be watched.
BOOL SHChangeNotifyRegister(HWND hwnd, const SHCHANGENOTIFYENTRY* entry);
// Ends the window's registration; notifications still queued for it are taken
// out of the queue and freed (call it on the window's thread).
BOOL SHChangeNotifyDeregister(HWND hwnd);
// Frees a notification received with WM_FILECHANGEINFO. Pointers that are not
// a live notification (freed already, or null) are ignored.
void SHChangeNotifyFree(FILECHANGENOTIFY* notify);

// Internal to platform/: stops the reader and frees everything (PlatformShutdown).
void shellNotifyShutdown();
// Number of notifications made and not yet freed. For tests.
int shellNotifyOutstanding();
