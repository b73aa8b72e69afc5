#pragma once
// The date a picture was taken, from its EXIF block (DateTimeOriginal), for
// the sixth sort key. Read only when that key sorts, since it opens the file.
#include <cstdint>
#include <string>

namespace fotrix {

// Seconds since 1970 of the EXIF date taken, read as local time; 0 when the
// file has none or it is not a valid "YYYY:MM:DD HH:MM:SS".
int64_t ReadDateTaken(const std::string& path);

// The same count of an EXIF date text; 0 when it is not one.
int64_t ParseExifDate(const std::string& text);

}  // namespace fotrix
