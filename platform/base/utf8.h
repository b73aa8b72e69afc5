#pragma once
// UTF-8 helpers: decoding code points for text drawing, validity checks and the
// Windows-1252 fallback for 8-bit text files.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Decodes the code point at text[*pos] and advances *pos past it. Malformed
// bytes decode as U+FFFD one byte at a time, so a bad string never stalls.
uint32_t utf8Next(std::string_view text, size_t* pos);

// Appends the UTF-8 form of a code point (invalid values become U+FFFD).
void utf8Append(std::string& out, uint32_t codePoint);

// Whether the bytes are well-formed UTF-8 (no overlongs, surrogates or values past U+10FFFF).
bool utf8Valid(std::string_view text);

// Number of code points in the text.
size_t utf8Length(std::string_view text);

// Converts Windows-1252 bytes to UTF-8.
std::string cp1252ToUtf8(std::string_view text);
