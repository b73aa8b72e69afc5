#pragma once
// The program's built-in texts by name: each constant pairs the number of a
// built-in string with its language-file key, so that callers write
// Tr(kIdsError) instead of repeating the pair.
#include <string>
#include <vector>

namespace fotrix {

struct TextId {
    unsigned number;
    const char* key;
};

#define FOTRIX_TEXT(name, number, key, english) inline constexpr TextId name{number, key};
#include "app/resources/text_list.h"
#undef FOTRIX_TEXT

// The text from the language file's "String" section, else the built-in one.
std::string Tr(TextId text);

// Every built-in text with its English wording (for the string table, the
// language-file checks and tools).
struct BuiltInText {
    unsigned number;
    const char* key;
    const char* english;
};
const std::vector<BuiltInText>& BuiltInTexts();

}  // namespace fotrix
