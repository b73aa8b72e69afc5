// The live adjustment dialog: a parameter list, one slider and a value field.
// Every change of a value builds the brightness/contrast/gamma table again and
// writes the unchanged picture through it into the shown one. The value field
// can also be typed into; a number typed there moves the slider.
#include "app/viewer/adjust_dialog.h"

#include "app/language.h"
#include "app/viewer/view_window.h"
#include "imagelib/adjust.h"
#include "platform/controls/combo.h"
#include "platform/controls/controls.h"
#include "platform/controls/edit.h"
#include "platform/shell/taskbar.h"
#include "platform/window/message_map.h"

#include <cstdio>
#include <cstdlib>
#include <iterator>

namespace fotrix {

namespace {

constexpr DWORD kShown = WS_VISIBLE;
constexpr DWORD kTab = kShown | DWORD{WS_TABSTOP};
constexpr DWORD kDialogStyle = DWORD{WS_POPUP | WS_BORDER} | DS_SETFONT | DS_MODALFRAME;

const DialogItemTemplate kAdjustItems[] = {
    {WC_COMBOBOX, IdcAdjustParameter, "", 4, 4, 150, 120, kTab | DWORD{CBS_DROPDOWNLIST}, 0},
    {WC_EDIT, IdcAdjustValue, "", 160, 4, 76, 20, kTab | DWORD{WS_BORDER}, 0},
    {TRACKBAR_CLASS, IdcAdjustSlider, "", 4, 28, 232, 24, kTab | DWORD{TBS_HORZ | TBS_NOTICKS}, 0},
    {WC_BUTTON, IDOK, "OK", 4, 56, 72, 22, kTab | DWORD{WS_GROUP} | BS_DEFPUSHBUTTON, 0},
    {WC_BUTTON, IDCANCEL, "Cancel", 84, 56, 72, 22, kTab | BS_PUSHBUTTON, 0},
    {WC_BUTTON, IdcUndo, "Undo", 164, 56, 72, 22, kTab | BS_PUSHBUTTON, 0},
};
const DialogTemplate kAdjustDialog = {
    "Adjust", kDialogStyle, 0, 0, 0, 240, 82, "Tahoma", 8, static_cast<int>(std::size(kAdjustItems)), kAdjustItems,
};

struct Parameter {
    UINT text;
    const char* key;
};
constexpr Parameter kParameters[] = {{4320, "IDS_BRIGHTNESS"}, {4321, "IDS_CONTRAST"}, {4322, "IDS_GAMMA"}};
constexpr int kGamma = 2;

// What the dialog works on, in its user-data word.
struct AdjustSession {
    HWND owner;
    HWND view;
    AdjustValues values;
    int parameter = 0;
    bool updating = false;  // the dialog is writing its own field
};

AdjustSession* sessionOf(HWND dialog) { return reinterpret_cast<AdjustSession*>(GetWindowLongPtr(dialog, DWLP_USER)); }

void applyToView(const AdjustSession& session)
{
    const std::vector<uint8_t>* copy = GetPreviewCopy(session.view);
    Bitmap* shown = GetViewBitmap(session.view);
    if (!copy || !shown || !shown->pixels) return;
    ApplyAdjustTable(session.values, copy->data(), shown->pixels, copy->size());
    RefreshPicture(session.view);
}

void showParameter(HWND dialog, AdjustSession& session)
{
    int low = 0, high = 0;
    SliderRange(session.parameter, &low, &high);
    HWND slider = GetDlgItem(dialog, IdcAdjustSlider);
    SendMessage(slider, TBM_SETRANGE, TRUE, MAKELPARAM(low, high));
    SendMessage(slider, TBM_SETPOS, TRUE, SliderPosition(session.parameter, session.values));
    char text[32];
    FormatParameter(session.parameter, session.values, text, sizeof text);
    session.updating = true;
    SetDlgItemText(dialog, IdcAdjustValue, text);
    session.updating = false;
}

void placeAtBottom(HWND dialog)
{
    RECT rect{};
    GetWindowRect(dialog, &rect);
    const int height = rect.bottom - rect.top;
    const int screenW = GetSystemMetrics(SM_CXSCREEN), screenH = GetSystemMetrics(SM_CYSCREEN);
    MoveWindow(dialog, 0, screenH - height, screenW, height, TRUE);
}

LRESULT onInitDialog(HWND dialog, UINT, WPARAM, LPARAM lParam)
{
    SetWindowLongPtr(dialog, DWLP_USER, lParam);
    AdjustSession& session = *reinterpret_cast<AdjustSession*>(lParam);
    BeginDialogSection("DlgEdit");
    SetDlgItemTr(dialog, IDOK, "IDOK");
    SetDlgItemTr(dialog, IDCANCEL, "IDCANCEL");
    SetDlgItemTr(dialog, IdcUndo, "IDC_UNDO");
    HWND list = GetDlgItem(dialog, IdcAdjustParameter);
    for (const Parameter& p : kParameters)
        SendMessage(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Tr(p.text, p.key).c_str()));
    SendMessage(list, CB_SETCURSEL, 0, 0);
    showParameter(dialog, session);
    placeAtBottom(dialog);
    if (session.owner) SHFullScreen(session.owner, SHFS_HIDESIPBUTTON);
    return TRUE;
}

void changed(HWND dialog, AdjustSession& session, int position)
{
    SetFromSlider(session.parameter, position, &session.values);
    char text[32];
    FormatParameter(session.parameter, session.values, text, sizeof text);
    session.updating = true;
    SetDlgItemText(dialog, IdcAdjustValue, text);
    session.updating = false;
    applyToView(session);
}

LRESULT onSlider(HWND dialog, UINT, WPARAM, LPARAM)
{
    AdjustSession& session = *sessionOf(dialog);
    changed(dialog, session, static_cast<int>(SendDlgItemMessage(dialog, IdcAdjustSlider, TBM_GETPOS, 0, 0)));
    return 0;
}

// A number typed into the field: brightness and contrast as signed values,
// gamma as a decimal; out-of-range numbers are held to the slider's ends.
LRESULT onValueField(HWND dialog, WORD, WORD code, LPARAM)
{
    AdjustSession& session = *sessionOf(dialog);
    if (code != EN_CHANGE || session.updating) return TRUE;
    char text[32] = "";
    GetDlgItemText(dialog, IdcAdjustValue, text, sizeof text);
    char* end = nullptr;
    const double typed = std::strtod(text, &end);
    if (end == text) return TRUE;
    int position = session.parameter == kGamma ? static_cast<int>(typed * 100.0 + 0.5) : static_cast<int>(typed) + 100;
    int low = 0, high = 0;
    SliderRange(session.parameter, &low, &high);
    position = position < low ? low : position > high ? high : position;
    SendDlgItemMessage(dialog, IdcAdjustSlider, TBM_SETPOS, TRUE, position);
    SetFromSlider(session.parameter, position, &session.values);
    applyToView(session);
    return TRUE;
}

LRESULT onParameter(HWND dialog, WORD, WORD code, LPARAM)
{
    if (code != CBN_SELCHANGE) return TRUE;
    AdjustSession& session = *sessionOf(dialog);
    const int chosen = static_cast<int>(SendDlgItemMessage(dialog, IdcAdjustParameter, CB_GETCURSEL, 0, 0));
    if (chosen >= 0 && chosen < static_cast<int>(std::size(kParameters))) session.parameter = chosen;
    showParameter(dialog, session);
    return TRUE;
}

LRESULT onUndo(HWND dialog, WORD, WORD, LPARAM)
{
    AdjustSession& session = *sessionOf(dialog);
    session.values = AdjustValues{};
    showParameter(dialog, session);
    RestoreFromPreviewCopy(session.view);
    return TRUE;
}

LRESULT finish(HWND dialog, int result)
{
    if (HWND owner = sessionOf(dialog)->owner) SHFullScreen(owner, SHFS_SHOWSIPBUTTON);
    EndDialog(dialog, result);
    return TRUE;
}
LRESULT onOk(HWND dialog, WORD, WORD, LPARAM) { return finish(dialog, IDOK); }
LRESULT onCancel(HWND dialog, WORD, WORD, LPARAM) { return finish(dialog, IDCANCEL); }

constexpr CommandEntry kCommands[] = {
    {IDOK, onOk}, {IDCANCEL, onCancel}, {IdcUndo, onUndo}, {IdcAdjustParameter, onParameter}, {IdcAdjustValue, onValueField},
};
constexpr CommandMap kCommandMap = makeCommandMap(kCommands, DefaultProcNone);

constexpr MessageEntry kMessages[] = {
    {WM_INITDIALOG, onInitDialog}, {WM_COMMAND, CommandMapProc<kCommandMap>}, {WM_HSCROLL, onSlider}};
constexpr MessageMap kMessageMap = makeMessageMap(kMessages, DefaultProcNone);

}  // namespace

void SliderRange(int parameter, int* low, int* high)
{
    *low = parameter == kGamma ? 1 : 0;
    *high = parameter == kGamma ? 300 : 200;
}

int SliderPosition(int parameter, const AdjustValues& values)
{
    if (parameter == kGamma) return static_cast<int>(values.gamma * 100.0 + 0.5);
    return (parameter == 0 ? values.brightness : values.contrast) + 100;
}

void SetFromSlider(int parameter, int position, AdjustValues* values)
{
    if (parameter == kGamma) values->gamma = position * 0.01;
    else if (parameter == 0) values->brightness = position - 100;
    else values->contrast = position - 100;
}

void FormatParameter(int parameter, const AdjustValues& values, char* text, int size)
{
    if (parameter == kGamma) std::snprintf(text, static_cast<size_t>(size), "%.2lf", values.gamma);
    else std::snprintf(text, static_cast<size_t>(size), "%d", parameter == 0 ? values.brightness : values.contrast);
}

void ApplyAdjustTable(const AdjustValues& values, const uint8_t* copy, uint8_t* pixels, size_t bytes)
{
    uint8_t table[256];
    buildAdjustTable(table, values.brightness, values.contrast, values.gamma);
    for (size_t i = 0; i < bytes; ++i) pixels[i] = table[copy[i]];
}

bool AskAdjustValues(HWND owner, HWND view, AdjustValues* values)
{
    AdjustSession session{owner, view, AdjustValues{}};
    const INT_PTR result = DialogBoxIndirectParam(nullptr, &kAdjustDialog, owner, MessageMapProc<kMessageMap>,
                                                  reinterpret_cast<LPARAM>(&session));
    if (result != IDOK) return false;
    *values = session.values;
    return true;
}

}  // namespace fotrix
