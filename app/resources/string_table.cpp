// The built-in string table: every text of text_list.h under its number.
#include "app/resources/string_table.h"

#include "app/resources/texts.h"
#include "platform/resources/resources.h"

namespace fotrix {

void RegisterAppStrings()
{
    static const std::vector<StringResource> table = [] {
        std::vector<StringResource> rows;
        for (const BuiltInText& text : BuiltInTexts()) rows.push_back({text.number, text.english});
        return rows;
    }();
    RegisterStringTable(table.data(), static_cast<int>(table.size()));
}

}  // namespace fotrix
