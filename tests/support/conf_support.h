#pragma once
// The ".conf" files that describe the pictures of a test corpus: "[section]"
// lines, then "key = value" lines; "#" starts a comment line.
#include <filesystem>
#include <map>
#include <string>

namespace testsupport {

using ConfSections = std::map<std::string, std::map<std::string, std::string>>;

// Every section's keys and values; lines before the first section go to "".
// A file that cannot be read gives no sections.
ConfSections readConf(const std::filesystem::path& path);

}  // namespace testsupport
