#pragma once
// The texts the list shows for an entry: size, date, dimensions and type.
#include "app/browser/file_entry.h"

#include <string>

namespace fotrix {

// "1023 bytes", "1.00 KB", "1.46 MB" ... with the units of the language file.
std::string SizeText(uint32_t size);
// The last-write time in local time, in the user's date order and separators;
// the time of day only when it is not midnight exactly.
std::string DateText(const FILETIME& time);
// "640x480,256" below 24 bits a pixel, "640x480,16M" from there on.
std::string DimensionsText(const FileInfo& info);
// The short name of the picture's format in capitals ("JPEG").
std::string TypeText(const FileInfo& info);

// The file name without its folder, and without its extension when asked.
std::string DisplayName(const std::string& path, bool withExtension);

// Forgets the locale's date order and separators (read again at next use).
void ResetDateFormat();

}  // namespace fotrix
