#pragma once
// The picture's properties: a sheet of three pages "Infos", "EXIF" and "IPTC"
// over a list of pictures, stepped with Previous and Next.
#include "platform/windows.h"

#include <string>
#include <vector>

namespace fotrix {

// Modal; starts on picture `first` of `paths`.
void ShowPropertiesSheet(HWND owner, const std::vector<std::string>& paths, int first);

// For the script's `state`: "properties" while the sheet is open ("iptc"
// while the IPTC editor is, else empty), the title of the page shown, and
// one "row: LABEL | VALUE" line for each row of the list (or field) that
// page holds.
std::string PropertiesSheetName();
std::string PropertiesPageTitle();
void WritePropertiesState(std::string& out);

}  // namespace fotrix
