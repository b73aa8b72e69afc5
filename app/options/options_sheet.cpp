#include "app/options/options_sheet.h"

#include "app/language.h"
#include "app/options/option_pages.h"
#include "app/options/option_values.h"
#include "app/resources/texts.h"

#include <iterator>
#include <string>

namespace fotrix {

namespace {

struct PageRow {
    OptionPage (*page)();
    TextId title;
};
constexpr PageRow kPages[] = {
    {GeneralPage, kIdsGeneral},     {BrowserPage, kIdsBrowser}, {ViewerPage, kIdsViewer},
    {SlideshowPage, kIdsSlideshow}, {ButtonsPage, kIdsButtons}, {AssociationsPage, kIdsAssociations},
};
constexpr UINT kPageCount = static_cast<UINT>(std::size(kPages));

// Runs the sheet over `values`; true on OK.
bool runSheet(HWND owner, OptionValues& values)
{
    std::string titles[kPageCount];
    PROPSHEETPAGE pages[kPageCount];
    for (UINT i = 0; i < kPageCount; ++i) {
        OptionPage page = kPages[i].page();
        titles[i] = Tr(kPages[i].title);
        // A missing text leaves the tab with the template's own title.
        DWORD flags = PSP_DLGINDIRECT | (titles[i].empty() ? 0 : PSP_USETITLE);
        pages[i] = PROPSHEETPAGE{sizeof(PROPSHEETPAGE), flags, nullptr, nullptr, page.dialog, nullptr,
                                 titles[i].c_str(), page.procedure, reinterpret_cast<LPARAM>(&values), nullptr,
                                 nullptr};
    }
    PROPSHEETHEADER header{sizeof(PROPSHEETHEADER), PSH_PROPSHEETPAGE | PSH_NOAPPLYNOW, owner, nullptr, nullptr,
                           "Fotrix Pocket", kPageCount, 0, pages, nullptr, nullptr};
    return PropertySheet(&header) == 1;
}

// The new language applies from the next start: say so.
void keepLanguage(HWND owner, const std::string& code)
{
    if (SetLanguage(code.c_str())) MessageBox(owner, Tr(kIdsReboot).c_str(), "", MB_OK | MB_ICONWARNING);
}

}  // namespace

bool ShowOptionsSheet(HWND owner)
{
    OptionValues values = OptionValuesOf(gApp);
    if (!runSheet(owner, values)) return false;
    StoreOptionValues(values, gApp);
    AssociationChoices() = values.associations;
    keepLanguage(owner, values.language);
    return true;
}

}  // namespace fotrix
