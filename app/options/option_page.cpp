#include "app/options/option_page.h"

#include "app/language.h"
#include "app/language_file.h"

#include <algorithm>

namespace fotrix {

void AttachPage(HWND page, LPARAM propSheetPage) { SetWindowLongPtr(page, DWLP_USER, propSheetPage); }

OptionValues& PageValues(HWND page)
{
    auto* record = reinterpret_cast<PROPSHEETPAGE*>(GetWindowLongPtr(page, DWLP_USER));
    return *reinterpret_cast<OptionValues*>(record->lParam);
}

void RelabelPage(HWND page, const char* section, std::span<const LabelBinding> labels)
{
    BeginDialogSection(section);
    for (const LabelBinding& label : labels) SetDlgItemTr(page, label.id, label.key);
}

std::string SectionText(const char* section, const char* key, const char* builtIn)
{
    std::string value;
    return languageLookup(section, key, value) ? value : std::string(builtIn);
}

void LoadChecks(HWND page, std::span<const CheckBinding> checks)
{
    const OptionValues& values = PageValues(page);
    for (const CheckBinding& c : checks) CheckDlgButton(page, c.id, values.*c.field ? BST_CHECKED : BST_UNCHECKED);
}

void StoreChecks(HWND page, std::span<const CheckBinding> checks)
{
    OptionValues& values = PageValues(page);
    for (const CheckBinding& c : checks) values.*c.field = IsDlgButtonChecked(page, c.id) == BST_CHECKED ? 1 : 0;
}

void SetUpSpin(HWND page, const SpinBinding& spin)
{
    HWND upDown = GetDlgItem(page, spin.spinId);
    SendMessage(upDown, UDM_SETBUDDY, reinterpret_cast<WPARAM>(GetDlgItem(page, spin.editId)), 0);
    SendMessage(upDown, UDM_SETRANGE32, static_cast<WPARAM>(spin.lower), spin.upper);
    int value = PageValues(page).*spin.field;
    SendMessage(upDown, UDM_SETPOS32, 0, std::clamp(value, spin.lower, spin.upper));
    if (value == 0) SetDlgItemText(page, spin.editId, "");
}

void StoreSpin(HWND page, const SpinBinding& spin)
{
    BOOL number = FALSE;
    int typed = static_cast<int>(GetDlgItemInt(page, spin.editId, &number, TRUE));
    if (number) PageValues(page).*spin.field = std::clamp(typed, spin.lower, spin.upper);
}

void FillCombo(HWND page, int id, const std::vector<std::string>& items, int selected)
{
    HWND combo = GetDlgItem(page, id);
    SendMessage(combo, CB_RESETCONTENT, 0, 0);
    for (const std::string& item : items) SendMessage(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    bool inRange = selected >= 0 && selected < static_cast<int>(items.size());
    SendMessage(combo, CB_SETCURSEL, inRange ? static_cast<WPARAM>(selected) : static_cast<WPARAM>(-1), 0);
}

int ComboChoice(HWND page, int id, int previous)
{
    LRESULT chosen = SendDlgItemMessage(page, id, CB_GETCURSEL, 0, 0);
    return chosen >= 0 ? static_cast<int>(chosen) : previous;
}

std::string ItemText(HWND page, int id)
{
    HWND item = GetDlgItem(page, id);
    int length = GetWindowTextLength(item);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    text.resize(static_cast<size_t>(GetWindowText(item, text.data(), length + 1)));
    return text;
}

bool ChooseColourFor(HWND page, COLORREF& colour)
{
    // Kept for the run of the program, as the chooser's own custom colours.
    static COLORREF custom[16] = {};
    CHOOSECOLOR cc{};
    cc.lStructSize = sizeof cc;
    // Owned by the sheet (a top-level window) rather than by the page.
    cc.hwndOwner = GetParent(page);
    cc.rgbResult = colour;
    cc.lpCustColors = custom;
    cc.Flags = CC_RGBINIT | CC_FULLOPEN | CC_ANYCOLOR;
    if (!ChooseColor(&cc)) return false;
    colour = cc.rgbResult;
    return true;
}

HBRUSH SwatchBrush(Swatch& swatch, COLORREF colour)
{
    if (swatch.brush && swatch.colour == colour) return swatch.brush;
    DeleteSwatch(swatch);
    swatch.brush = CreateSolidBrush(colour);
    swatch.colour = colour;
    return swatch.brush;
}

void DeleteSwatch(Swatch& swatch)
{
    if (swatch.brush) DeleteObject(swatch.brush);
    swatch.brush = nullptr;
}

INT_PTR HandleSheetNotify(HWND page, LPARAM lParam, PageApply apply)
{
    auto* header = reinterpret_cast<NMHDR*>(lParam);
    if (header->code != PSN_APPLY) return FALSE;
    apply(page, PageValues(page));
    SetWindowLongPtr(page, DWLP_MSGRESULT, PSNRET_NOERROR);
    return TRUE;
}

}  // namespace fotrix
