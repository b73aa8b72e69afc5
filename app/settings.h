#pragma once
// The settings store: numbers and texts under HKEY_CURRENT_USER\Software\Fotrix Pocket,
// one sub-key a section (null or "" for the root key itself). Reading never
// fails: a missing key or value, a value of the wrong type or a text too long
// for the caller all give the default.
#include "platform/windows.h"

#include <string>

namespace fotrix {

constexpr const char* kSettingsRoot = "Software\\Fotrix Pocket";

int32_t ReadNumber(const char* section, const char* name, int32_t defaultValue);
// Returns ERROR_SUCCESS or the registry's error: when the key cannot be created
// nothing is written; a failed store also writes "Pb : <name> " to the debug console.
LONG WriteNumber(const char* section, const char* name, int32_t value);

// capacity counts characters including the terminating zero, as the callers'
// buffers do (260 for paths, 64 for short texts): a text of capacity - 1
// characters fits, a longer one reads as the default.
void ReadText(const char* section, const char* name, const char* defaultText, std::string& buffer, int capacity);
LONG WriteText(const char* section, const char* name, const char* text);

}  // namespace fotrix
