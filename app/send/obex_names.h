#pragma once
// File names that arrive from a peer and file names that go out to one.
#include <optional>
#include <string>

namespace fotrix::obex {

constexpr std::size_t kMaxNameUnits = 255;  // UTF-16 units a peer may send for a name

// The name a received file is stored under: the last path part only (either
// separator), no leading dots or blanks (so nothing hidden), control
// characters replaced by "_". Nothing when no usable name is left ("", ".", "..").
std::optional<std::string> sanitisedName(const std::u16string& sent);

std::u16string utf16FromUtf8(const std::string& text);
std::string utf8FromUtf16(const std::u16string& text);

}  // namespace fotrix::obex
