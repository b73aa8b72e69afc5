#pragma once
// The picture's properties: a sheet of three pages "Infos", "EXIF" and "IPTC"
// over a list of pictures, stepped with Previous and Next.
#include "platform/windows.h"

#include <string>
#include <vector>

namespace fotrix {

// Modal; starts on picture `first` of `paths`.
void ShowPropertiesSheet(HWND owner, const std::vector<std::string>& paths, int first);

// While the sheet is open: the `state` lines "sheet", "page" and one
// "row: LABEL | VALUE" for each row of the list the shown page holds.
void WritePropertiesState(std::string& out);

}  // namespace fotrix
