#pragma once
// MD5 digests: the thumbnail cache names its files by the MD5 of the file's URI.
#include <string>
#include <string_view>

namespace fotrix {

// The digest of `data` as 32 lower-case hexadecimal digits.
std::string md5Hex(std::string_view data);

}  // namespace fotrix
