#pragma once
// What the three pages of the picture's properties show, as (label, value)
// rows: the file's description (Infos), the EXIF lister's values and the IPTC
// lister's datasets. Kept apart from the windows so that the rows can be
// compared with what the command-line lister prints.
#include "imagelib/bitmap.h"

#include <string>
#include <vector>

namespace fotrix {

struct PropertyRow {
    std::string label;
    std::string value;
};
using PropertyRows = std::vector<PropertyRow>;

// Longest text a list cell takes, in characters; longer labels and values
// are cut at a whole UTF-8 character.
constexpr size_t kPropertyCellChars = 128;

// Folder, name, size, date, format, dimensions, resolution, colours and comment.
PropertyRows InfoRows(const std::string& path);
// One row per reported value; a group announcement is an empty row. GPS
// latitude and longitude are followed by their value in decimal degrees.
PropertyRows ExifRows(const MetadataBlock* metadata);
// One row per present dataset, then a note when the picture's XMP packet
// also holds a caption or keywords (other tools show those first).
PropertyRows IptcRows(const MetadataBlock* metadata);

// A text for one line of the script's state: each line break (CR LF, LF or
// CR) becomes the two characters "\\n".
std::string StateLineText(const std::string& text);

// A text cut to at most `limit` characters, never inside a UTF-8 sequence.
std::string CutToCharacters(const std::string& text, size_t limit);

}  // namespace fotrix
