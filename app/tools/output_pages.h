#pragma once
// The pages every batch tool shares: the information page (the current
// picture, Previous/Next, Apply and Apply to all), the output-format page
// and the output-folder page. batch_sheet.cpp puts them around the tool's
// own pages.
#include "app/tools/batch_sheet.h"

#include <string>
#include <vector>

namespace fotrix {

ToolPage InfoPage();
ToolPage OutputFormatPage();
ToolPage OutputFolderPage();

// The values the pages show now.
void ReadFormatPage(HWND page, ConvertSettings& settings);
void ReadFolderPage(HWND page, FolderSettings& settings);

// Style shorthands of the tool page templates (laid out at 96 dpi for a
// 240-pixel-wide screen).
inline constexpr DWORD kToolPageStyle = DWORD{WS_POPUP} | DS_SETFONT;
inline constexpr DWORD kToolShown = WS_VISIBLE;
inline constexpr DWORD kToolStop = WS_VISIBLE | WS_TABSTOP;
inline constexpr DWORD kToolButton = kToolStop | DWORD{BS_PUSHBUTTON};
inline constexpr DWORD kToolCheck = kToolStop | DWORD{BS_AUTOCHECKBOX};
inline constexpr DWORD kToolEdit = kToolStop | DWORD{WS_BORDER} | DWORD{ES_AUTOHSCROLL};
inline constexpr DWORD kToolDropList = kToolStop | DWORD{CBS_DROPDOWNLIST} | DWORD{WS_VSCROLL};

// Relabels a page's controls from its language section.
struct ToolLabel {
    int id;
    const char* key;
};
void RelabelToolPage(HWND page, const char* section, const ToolLabel* labels, size_t count);
template <size_t N>
void RelabelToolPage(HWND page, const char* section, const ToolLabel (&labels)[N])
{
    RelabelToolPage(page, section, labels, N);
}
// Fills a drop-down list and selects `selected`.
void FillToolCombo(HWND page, int id, const std::vector<std::string>& items, int selected);
int ToolComboChoice(HWND page, int id, int previous);
std::string ToolItemText(HWND page, int id);
// The text of `key` in a language section, or `builtIn` when the file has none.
std::string ToolSectionText(const char* section, const char* key, const char* builtIn);

}  // namespace fotrix
