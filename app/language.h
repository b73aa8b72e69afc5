#pragma once
// Language files: "<code>.lng" beside the program, UTF-8 text (Windows-1252
// when a file is not valid UTF-8). The first line names the language; then
// sections "[Name]" with "KEY=value" lines. "[String]" holds the IDS_ texts
// that replace the built-in string table; each dialog has a section of its own
// for its controls. One file is open at a time.
#include "platform/windows.h"

#include <string>
#include <vector>

namespace fotrix {

// Opens the file for `code` (letters, digits, "-" and "_"; empty: the
// language of the user's locale). Returns 1 when it opened and the current code
// became `code` in lower case; 0 when it could not, and the current code is "en".
int OpenLanguage(const char* code);
void CloseLanguage();
const char* CurrentLanguage();
// Changes the language kept for the next start: 0 when the first two characters
// equal the current code's, else 1 with the current code set to the first two.
int SetLanguage(const char* code);

// The text for `key` from the "String" section, else built-in string `number`.
// Copies at most capacity - 1 bytes (whole characters) and returns the length.
int Tr(HINSTANCE instance, UINT number, const char* key, char* buffer, int capacity);
std::string Tr(UINT number, const char* key);

// Dialogs: find their section once, then relabel each control that has an entry.
void BeginDialogSection(const char* name);
void SetDlgItemTr(HWND dialog, int control, const char* key);

// Folder searched for language files (with a trailing "/"): the one set here
// (tests and portable setups); else FOTRIX_LANGUAGE_DIR; else the program's
// own folder when it holds .lng files; else ../share/fotrix-pocket/languages/
// beside it when that does; else the program's folder.
void SetLanguageFolder(const char* folder);
std::string LanguageFolder();
// The language of the user's locale, as a two-letter code ("en" when unknown).
std::string SystemLanguage();

// The entries of the language chooser: "en - English" first, then one per
// language file ("fr - Francais"), and the index of the current language.
struct LanguageChoice {
    std::string code;
    std::string label;
};
std::vector<LanguageChoice> ListLanguages(int* selected);

}  // namespace fotrix

// Relabelling menus and menu bars, and the language chooser.
#include "app/language_menu.h"
