// A property sheet as the batch tools show theirs: three pages made from
// templates, tabs along the bottom, "ok" in the task bar. It is modeless and
// fills the work area over the gallery; "ok" or Escape closes it and shows the
// page again.
#include "gallery/gallery.h"
#include "gallery/layout.h"

#include <iterator>

namespace {

constexpr DWORD kShown = WS_VISIBLE;
constexpr DWORD kStop = WS_VISIBLE | WS_TABSTOP;

const DialogItemTemplate kFormatItems[] = {
    {WC_STATIC, 0xFFFF, "Output format:", 8, 8, 200, 14, kShown, 0},
    {WC_BUTTON, 1014, "JPEG", 16, 26, 90, 18, kStop | DWORD{WS_GROUP} | BS_AUTORADIOBUTTON, 0},
    {WC_BUTTON, 1015, "GIF", 16, 44, 90, 18, kShown | BS_AUTORADIOBUTTON, 0},
    {WC_BUTTON, 1016, "BMP", 16, 62, 90, 18, kShown | BS_AUTORADIOBUTTON, 0},
    {WC_BUTTON, 1017, "PNG", 16, 80, 90, 18, kShown | BS_AUTORADIOBUTTON, 0},
    {WC_STATIC, 0xFFFF, "Quality:", 8, 108, 60, 14, kShown, 0},
    {TRACKBAR_CLASS, 1204, "", 70, 104, 150, 22, kStop | DWORD{WS_GROUP}, 0},
    {WC_STATIC, 0xFFFF, "Colours:", 8, 136, 60, 14, kShown, 0},
    {WC_LISTBOX, 1021, "", 70, 134, 150, 64, kStop | DWORD{WS_BORDER} | LBS_NOINTEGRALHEIGHT, 0},
};
const DialogItemTemplate kFolderItems[] = {
    {WC_STATIC, 0xFFFF, "Prefix:", 8, 11, 50, 14, kShown, 0},
    {WC_EDIT, 1001, "", 62, 8, 150, 20, kStop | DWORD{WS_BORDER} | ES_AUTOHSCROLL, 0},
    {WC_STATIC, 0xFFFF, "Suffix:", 8, 39, 50, 14, kShown, 0},
    {WC_EDIT, 1002, "_m", 62, 36, 150, 20, kStop | DWORD{WS_BORDER} | ES_AUTOHSCROLL, 0},
    {WC_BUTTON, 1080, "Apply", 8, 70, 70, 22, kStop | BS_PUSHBUTTON, 0},
};
const DialogItemTemplate kInfoItems[] = {
    {WC_STATIC, 0xFFFF, "IMG_0001.JPG\nJPEG, 1600 x 1200, 24 bits\n72 x 72 dpi", 8, 8, 210, 60, kShown | SS_NOPREFIX, 0},
};
const DialogTemplate kFormat = {"Format", DWORD{WS_POPUP} | DS_SETFONT, 0, 0, 0, 240, 200, "Tahoma", 8,
                                static_cast<int>(std::size(kFormatItems)), kFormatItems};
const DialogTemplate kFolder = {"Folder", DWORD{WS_POPUP} | DS_SETFONT, 0, 0, 0, 240, 200, "Tahoma", 8,
                                static_cast<int>(std::size(kFolderItems)), kFolderItems};
const DialogTemplate kInfo = {"Infos", DWORD{WS_POPUP} | DS_SETFONT, 0, 0, 0, 240, 200, "Tahoma", 8,
                              static_cast<int>(std::size(kInfoItems)), kInfoItems};

INT_PTR pageProc(HWND page, UINT message, WPARAM, LPARAM)
{
    if (message == WM_INITDIALOG) {
        if (GetDlgItem(page, 1014)) {
            CheckRadioButton(page, 1014, 1017, 1014);
            SendDlgItemMessage(page, 1204, TBM_SETRANGE, FALSE, MAKELPARAM(1, 100));
            SendDlgItemMessage(page, 1204, TBM_SETPOS, TRUE, 80);
            for (const char* depth : {"Black and white", "16 colours", "256 colours", "16 million colours"})
                SendDlgItemMessage(page, 1021, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(depth));
            SendDlgItemMessage(page, 1021, LB_SETCURSEL, 3, 0);
        }
        return TRUE;
    }
    return FALSE;
}

}  // namespace

void createPropertySheetPage(HWND page)
{
    PageLayout layout(page);
    layout.add(WC_STATIC, "The property sheet covers the screen; its \"ok\" (or Escape) closes it.",
               SS_LEFT | SS_NOPREFIX, layout.row(44));
    const DialogTemplate* templates[] = {&kFormat, &kFolder, &kInfo};
    PROPSHEETPAGE pages[3];
    for (int i = 0; i < 3; ++i)
        pages[i] = PROPSHEETPAGE{sizeof(PROPSHEETPAGE), PSP_DLGINDIRECT, nullptr, nullptr, templates[i], nullptr,
                                 nullptr, pageProc, i, nullptr, nullptr};
    PROPSHEETHEADER header{sizeof header, PSH_PROPSHEETPAGE | PSH_MODELESS, GetParent(page), nullptr, nullptr,
                           "Convert", 3, 0, pages, nullptr, nullptr};
    galleryKeep(page, reinterpret_cast<HWND>(PropertySheet(&header)));
}
