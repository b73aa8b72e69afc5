// Dialog templates of the program that no tool owns: the about dialog.
#include "app/resources/dialogs.h"

#include "app/resources/resource_ids.h"
#include "platform/controls/controls.h"
#include "platform/dialog/dialog.h"

#include <iterator>

namespace fotrix {

namespace {

#ifndef FOTRIX_VERSION
#define FOTRIX_VERSION "1.0.0"
#endif

constexpr DWORD kLabel = static_cast<DWORD>(WS_VISIBLE) | static_cast<DWORD>(SS_CENTER);
constexpr DWORD kOkButton = static_cast<DWORD>(WS_VISIBLE) | static_cast<DWORD>(WS_TABSTOP) | static_cast<DWORD>(BS_DEFPUSHBUTTON);
const DialogItemTemplate kAboutItems[] = {
    {WC_STATIC, kAboutName, "Fotrix Pocket", 8, 24, 224, 20, kLabel, 0},
    {WC_STATIC, kAboutVersion, "Version " FOTRIX_VERSION, 8, 48, 224, 16, kLabel, 0},
    {WC_STATIC, kAboutLibrary, "Pictures are read and written by its own image library.", 8, 76, 224, 32, kLabel, 0},
    {WC_BUTTON, IDOK, "OK", 80, 124, 80, 24, kOkButton, 0},
};
const DialogTemplate kAbout = {
    "About", static_cast<DWORD>(WS_POPUP) | static_cast<DWORD>(WS_CAPTION) | DS_CENTER | DS_SETFONT | DS_MODALFRAME, 0, 0, 0, 240, 160, "Tahoma", 8,
    static_cast<int>(std::size(kAboutItems)), kAboutItems,
};
const DialogResource kDialogs[] = {{kDialogAbout, nullptr, &kAbout}};

}  // namespace

void RegisterAppDialogs() { RegisterDialogs(kDialogs, static_cast<int>(std::size(kDialogs))); }

}  // namespace fotrix
