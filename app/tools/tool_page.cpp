// Helpers the tool pages share: labels from the language file and drop-down lists.
#include "app/language.h"
#include "app/language_file.h"
#include "app/tools/output_pages.h"

namespace fotrix {

void RelabelToolPage(HWND page, const char* section, const ToolLabel* labels, size_t count)
{
    BeginDialogSection(section);
    for (size_t i = 0; i < count; ++i) SetDlgItemTr(page, labels[i].id, labels[i].key);
}

std::string ToolSectionText(const char* section, const char* key, const char* builtIn)
{
    std::string value;
    return languageLookup(section, key, value) ? value : std::string(builtIn);
}

void FillToolCombo(HWND page, int id, const std::vector<std::string>& items, int selected)
{
    HWND combo = GetDlgItem(page, id);
    SendMessage(combo, CB_RESETCONTENT, 0, 0);
    for (const std::string& item : items) SendMessage(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    bool inRange = selected >= 0 && selected < static_cast<int>(items.size());
    SendMessage(combo, CB_SETCURSEL, inRange ? static_cast<WPARAM>(selected) : static_cast<WPARAM>(-1), 0);
}

int ToolComboChoice(HWND page, int id, int previous)
{
    LRESULT chosen = SendDlgItemMessage(page, id, CB_GETCURSEL, 0, 0);
    return chosen >= 0 ? static_cast<int>(chosen) : previous;
}

std::string ToolItemText(HWND page, int id)
{
    HWND item = GetDlgItem(page, id);
    int length = GetWindowTextLength(item);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    text.resize(static_cast<size_t>(GetWindowText(item, text.data(), length + 1)));
    return text;
}

}  // namespace fotrix
