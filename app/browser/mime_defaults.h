#pragma once
// The picture types as the Linux desktop sees them: the default application
// of a MIME type in "mimeapps.list" ([Default Applications], freedesktop's
// MIME applications associations), set to the program's desktop entry when a
// type is associated, and given back when it is not. The value it replaced is
// kept in the classes hive (key "Fotrix.mime.bak", one value per MIME type).
#include <string>

namespace fotrix {

constexpr const char* kDesktopEntry = "fotrix.desktop";

// The file: "mimeapps.list" in $XDG_CONFIG_HOME (else ~/.config); with
// FOTRIX_CONFIG_DIR set, in that folder instead, so that a separate settings
// folder (tests, portable setups) never changes the desktop's own choices.
std::string MimeAppsListPath();

// The MIME type the program's desktop entry names for an extension (".jpg"),
// or empty.
std::string MimeTypeOfExtension(const std::string& extension);

// The value of `mime` in [Default Applications]; false when there is none.
bool ReadMimeDefault(const std::string& mime, std::string* value);
// Sets it (or with null removes it), rewriting the file through a temporary
// file beside it; every other line stays as it was.
bool WriteMimeDefault(const std::string& mime, const std::string* value);

// The desktop entry first for the extension's type, the previous value after
// it (and kept). Giving back: the kept value returns while the program's entry
// is still first; without one the program's line goes.
bool AssociateMimeDefault(const std::string& extension);
void UnassociateMimeDefault(const std::string& extension);

}  // namespace fotrix
