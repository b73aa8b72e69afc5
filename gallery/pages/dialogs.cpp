// A dialog made from a template, set into the page as a child dialog: a name
// field, check boxes, a group of radio buttons, and buttons that open the
// common dialogs (file, folder, colour) and a message box for real; the last
// answer shows at the bottom. Also the helper that ties a top-level dialog to
// a page (the message-box and property-sheet pages use it).
#include "gallery/gallery.h"

#include <cstdio>
#include <iterator>
#include <string>

namespace {

enum : int { IdName = 300, IdOpen = 310, IdFolder = 311, IdColour = 312, IdMessage = 313, IdResult = 320 };

constexpr DWORD kShown = WS_VISIBLE;
constexpr DWORD kStop = WS_VISIBLE | WS_TABSTOP;
const DialogItemTemplate kItems[] = {
    {WC_STATIC, 0xFFFF, "Name:", 0, 3, 44, 14, kShown, 0},
    {WC_EDIT, IdName, "holiday", 46, 0, 180, 20, kStop | DWORD{WS_BORDER} | ES_AUTOHSCROLL, 0},
    {WC_BUTTON, 301, "Keep the date", 0, 26, 120, 18, kStop | BS_AUTOCHECKBOX, 0},
    {WC_BUTTON, 302, "Ask first", 124, 26, 100, 18, kStop | BS_AUTOCHECKBOX, 0},
    {WC_BUTTON, 303, "Small", 8, 64, 100, 18, kStop | DWORD{WS_GROUP} | BS_AUTORADIOBUTTON, 0},
    {WC_BUTTON, 304, "Medium", 8, 82, 100, 18, kShown | BS_AUTORADIOBUTTON, 0},
    {WC_BUTTON, 305, "Large", 8, 100, 100, 18, kShown | BS_AUTORADIOBUTTON, 0},
    {WC_BUTTON, 0xFFFF, "Size", 0, 48, 226, 74, kShown | DWORD{WS_GROUP} | BS_GROUPBOX, 0},
    {WC_BUTTON, IdOpen, "Open...", 0, 130, 54, 22, kStop | DWORD{WS_GROUP} | BS_PUSHBUTTON, 0},
    {WC_BUTTON, IdFolder, "Folder...", 57, 130, 54, 22, kStop | BS_PUSHBUTTON, 0},
    {WC_BUTTON, IdColour, "Colour...", 114, 130, 54, 22, kStop | BS_PUSHBUTTON, 0},
    {WC_BUTTON, IdMessage, "Ask...", 171, 130, 54, 22, kStop | BS_DEFPUSHBUTTON, 0},
    {WC_STATIC, IdResult, "Tap a button to open its dialog.", 0, 160, 226, 30, kShown | SS_NOPREFIX, 0},
};
const DialogTemplate kDialog = {"", DWORD{WS_CHILD | WS_VISIBLE} | DS_CONTROL | DS_SETFONT, 0, 6, 6, 226, 190,
                                "Tahoma", 8, static_cast<int>(std::size(kItems)), kItems};

void showResult(HWND dlg, const std::string& text) { SetDlgItemText(dlg, IdResult, text.c_str()); }

void openFile(HWND dlg)
{
    char file[MAX_PATH] = "";
    OPENFILENAME ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = dlg;
    ofn.lpstrFilter = "Pictures\0*.jpg;*.jpeg;*.png;*.gif;*.bmp\0All files\0*\0";
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file;
    ofn.nMaxFile = sizeof file;
    ofn.Flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
    showResult(dlg, GetOpenFileName(&ofn) ? std::string("Opened ") + file : "Open: cancelled");
}

void chooseFolder(HWND dlg)
{
    char folder[MAX_PATH] = "";
    showResult(dlg, ChooseFolder(dlg, "Choose a folder", folder, sizeof folder, CHOOSEFOLDER_NEWFOLDER)
                        ? std::string("Folder ") + folder
                        : "Folder: cancelled");
}

void chooseColour(HWND dlg)
{
    static COLORREF custom[16];
    CHOOSECOLOR cc{sizeof cc, dlg, nullptr, RGB(0, 84, 180), custom, CC_RGBINIT | CC_FULLOPEN, 0, nullptr, nullptr};
    char text[64] = "Colour: cancelled";
    if (ChooseColor(&cc))
        std::snprintf(text, sizeof text, "Colour %d, %d, %d", GetRValue(cc.rgbResult), GetGValue(cc.rgbResult),
                      GetBValue(cc.rgbResult));
    showResult(dlg, text);
}

void ask(HWND dlg)
{
    int answer = MessageBox(dlg, "Replace the picture that is already there?", "Fotrix Pocket",
                            MB_YESNOCANCEL | MB_ICONQUESTION);
    const char* names[] = {"", "OK", "Cancel", "Abort", "Retry", "Ignore", "Yes", "No"};
    showResult(dlg, std::string("Answer: ") + (answer >= 0 && answer < 8 ? names[answer] : "?"));
}

INT_PTR dialogProc(HWND dlg, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG) {
        CheckRadioButton(dlg, 303, 305, 304);
        return FALSE;  // the gallery frame keeps the focus
    }
    if (message != WM_COMMAND || HIWORD(wParam) != BN_CLICKED) return FALSE;
    switch (LOWORD(wParam)) {
    case IdOpen:
        openFile(dlg);
        return TRUE;
    case IdFolder:
        chooseFolder(dlg);
        return TRUE;
    case IdColour:
        chooseColour(dlg);
        return TRUE;
    case IdMessage:
        ask(dlg);
        return TRUE;
    default:
        return FALSE;
    }
}

// The keeper: a hidden child of the page that destroys its top-level dialog
// when the page goes (top-level windows are owned by the frame, not the page).
constexpr const char* kKeeperClass = "GalleryDialogKeeper";

LRESULT keeperProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY) {
        HWND kept = reinterpret_cast<HWND>(GetWindowLongPtr(hwnd, GWLP_USERDATA));
        if (IsWindow(kept)) DestroyWindow(kept);
    }
    return DefWindowProc(hwnd, message, wParam, lParam);
}

}  // namespace

void galleryKeep(HWND page, HWND dialog)
{
    WNDCLASS wc{};
    if (!GetClassInfo(nullptr, kKeeperClass, &wc)) {
        wc.lpfnWndProc = keeperProc;
        wc.lpszClassName = kKeeperClass;
        RegisterClass(&wc);
    }
    HWND keeper = CreateWindowEx(0, kKeeperClass, "", WS_CHILD, 0, 0, 0, 0, page, nullptr, nullptr, nullptr);
    SetWindowLongPtr(keeper, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(dialog));
}

void createDialogsPage(HWND page)
{
    HWND dlg = CreateDialogIndirectParam(nullptr, &kDialog, page, dialogProc, 0);
    if (!dlg) return;
    RECT r;
    GetClientRect(page, &r);
    int m = ScaleForScreen(6);
    MoveWindow(dlg, m, m, r.right - 2 * m, r.bottom - 2 * m, TRUE);
}
