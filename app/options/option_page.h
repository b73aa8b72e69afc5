#pragma once
// What the six options pages share: the values they edit (kept in the page's
// PROPSHEETPAGE), relabelling from the page's language section, check boxes,
// spin controls with their buddy edits, combo boxes and colour swatches
// bound to fields of OptionValues.
#include "app/options/option_values.h"
#include "platform/windows.h"

#include <span>
#include <string>
#include <vector>

namespace fotrix {

// WM_INITDIALOG: keeps the sheet's copy of the page record (lParam).
void AttachPage(HWND page, LPARAM propSheetPage);
OptionValues& PageValues(HWND page);

// A control and the key of its text in the page's language section.
struct LabelBinding {
    int id;
    const char* key;
};
void RelabelPage(HWND page, const char* section, std::span<const LabelBinding> labels);
// The text of `key` in a language section, or `builtIn` when the file has none.
std::string SectionText(const char* section, const char* key, const char* builtIn);

struct CheckBinding {
    int id;
    int OptionValues::* field;
};
void LoadChecks(HWND page, std::span<const CheckBinding> checks);
void StoreChecks(HWND page, std::span<const CheckBinding> checks);

// A number typed into `editId` and stepped by the up-down `spinId`. A field
// of 0 ("not set", e.g. the system font) shows an empty edit and stays 0
// unless a number is entered; numbers outside the range are clamped into it.
struct SpinBinding {
    int editId;
    int spinId;
    int lower;
    int upper;
    int OptionValues::* field;
};
void SetUpSpin(HWND page, const SpinBinding& spin);
void StoreSpin(HWND page, const SpinBinding& spin);

// Fills a drop-down list and selects `selected` (none when out of range);
// the index chosen, or `previous` when nothing is.
void FillCombo(HWND page, int id, const std::vector<std::string>& items, int selected);
int ComboChoice(HWND page, int id, int previous);

std::string ItemText(HWND page, int id);

// Runs the colour chooser over the sheet starting at `colour`; true (and the
// new colour in `colour`) on OK.
bool ChooseColourFor(HWND page, COLORREF& colour);
// The brush a swatch answers WM_CTLCOLORSTATIC with; one per swatch, made
// again when its colour changes and deleted with DeleteSwatch.
struct Swatch {
    HBRUSH brush = nullptr;
    COLORREF colour = 0;
};
HBRUSH SwatchBrush(Swatch& swatch, COLORREF colour);
void DeleteSwatch(Swatch& swatch);

// WM_NOTIFY of the sheet: on PSN_APPLY runs `apply` and answers
// PSNRET_NOERROR. Returns TRUE when the notification was the sheet's.
using PageApply = void (*)(HWND page, OptionValues& values);
INT_PTR HandleSheetNotify(HWND page, LPARAM lParam, PageApply apply);

}  // namespace fotrix
