#pragma once
// A window or dialog procedure written as a table: each row pairs a message
// (or a command id) with a small handler; the first matching row wins and
// unmatched messages go to the table's default procedure.
#include "platform/base/types.h"

enum DefaultProcKind : int {
    DefaultProcNone = 0,    // unmatched messages return 0
    DefaultProcWindow = 1,  // DefWindowProc
    DefaultProcDialog = 2,  // DefDlgProc
};

typedef LRESULT (*MessageHandler)(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
typedef LRESULT (*CommandHandler)(HWND hwnd, WORD id, WORD code, LPARAM lParam);

struct MessageEntry {
    UINT message;
    MessageHandler handler;
};

struct CommandEntry {
    WORD id;
    CommandHandler handler;
};

struct MessageMap {
    int count;
    const MessageEntry* entries;
    DefaultProcKind defaultProc;
};

struct CommandMap {
    int count;
    const CommandEntry* entries;
    DefaultProcKind defaultProc;
};

// Builds a map from a constexpr array of rows.
template <size_t N>
constexpr MessageMap makeMessageMap(const MessageEntry (&rows)[N], DefaultProcKind kind)
{
    return MessageMap{static_cast<int>(N), rows, kind};
}
template <size_t N>
constexpr CommandMap makeCommandMap(const CommandEntry (&rows)[N], DefaultProcKind kind)
{
    return CommandMap{static_cast<int>(N), rows, kind};
}

// Runs the first row whose message matches, else the map's default procedure.
LRESULT DispatchMessageMap(const MessageMap* map, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// For WM_COMMAND: the key is LOWORD(wParam); the handler gets (id, HIWORD(wParam), lParam).
// Without a match the map's default procedure gets the WM_COMMAND.
LRESULT DispatchCommandMap(const CommandMap* map, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// The procedure of a map fixed at compile time, where a plain function is
// wanted (a dialog's procedure, the WM_COMMAND row of another map), instead of
// a wrapper function written for each map.
template <const MessageMap& Map>
LRESULT MessageMapProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DispatchMessageMap(&Map, hwnd, message, wParam, lParam);
}
template <const CommandMap& Map>
LRESULT CommandMapProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DispatchCommandMap(&Map, hwnd, message, wParam, lParam);
}
