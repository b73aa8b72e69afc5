#include "app/resources/texts.h"

#include "app/language.h"

namespace fotrix {

std::string Tr(TextId text) { return Tr(text.number, text.key); }

const std::vector<BuiltInText>& BuiltInTexts()
{
    static const std::vector<BuiltInText> texts = {
#define FOTRIX_TEXT(name, number, key, english) {number, key, english},
#include "app/resources/text_list.h"
#undef FOTRIX_TEXT
    };
    return texts;
}

}  // namespace fotrix
