#pragma once
// Reading language files: lines, sections and key search. Internal to app/.
#include <string>
#include <string_view>
#include <vector>

namespace fotrix {

constexpr size_t kLanguageLineLimit = 511;
constexpr size_t kLanguageFileLimit = 4u << 20;

// The file's lines in UTF-8 (converted from Windows-1252 when the bytes are not
// UTF-8), each cut to the line limit.
bool languageLoadLines(const std::string& path, std::vector<std::string>& lines);
// Index of the first line "[" + name... (prefix comparison, case-sensitive), or -1.
int languageFindSection(const std::vector<std::string>& lines, std::string_view name);
// Searches `key` from the line after `section` to the next "[" line; the value
// has "\n" turned into CR LF. False when missing or shorter than two characters.
bool languageFindKey(const std::vector<std::string>& lines, int section, std::string_view key, std::string& value);
// Searches `key` in the section `name` of the open language file (the
// menu texts live in "Menu"); false when no file is open or the key is missing.
bool languageLookup(std::string_view name, std::string_view key, std::string& value);
// The language name of a first line ("fr=Francais" gives "Francais"); empty when none.
std::string languageNameOf(std::string_view firstLine);

}  // namespace fotrix
