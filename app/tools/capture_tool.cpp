// Screen capture: Apply on the capture page stores the delay and the format
// and starts timer 1001 of the main window; when it fires the screen is
// copied and saved under the next free capture number.
#include "app/tools/capture_tool.h"

#include "app/settings.h"
#include "app/shell/command_ids.h"
#include "app/tools/batch_save.h"
#include "app/tools/batch_sheet.h"
#include "app/tools/convert_tool.h"
#include "app/tools/output_pages.h"
#include "app/tools/tool_commands.h"
#include "app/tools/tool_ids.h"
#include "imagelib/colours.h"
#include "imagelib/formats.h"
#include "imagelib/save.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iterator>

namespace fotrix {

namespace {

constexpr const char* kSection = "DlgCapture";
constexpr int kDelays[] = {1, 5, 10, 15};
constexpr int kDefaultDelayIndex = 1;
// "capture%03d" gives three digits: past 999 the names would grow.
constexpr int kLastCaptureNumber = 999;

const DialogItemTemplate kItems[] = {
    {WC_STATIC, IdcTDelay, "Delay (seconds):", 8, 10, 120, 16, kToolShown, 0},
    {WC_COMBOBOX, IdcDelay, "", 130, 7, 102, 100, kToolDropList, 0},
    {WC_BUTTON, IdcApply, "Capture", 8, 40, 224, 24, kToolButton, 0},
};
const DialogTemplate kDialog = {"Capture", kToolPageStyle, 0, 0, 0, 240, 240, "Tahoma", 8,
                                static_cast<int>(std::size(kItems)), kItems};
constexpr ToolLabel kLabels[] = {{IdcTDelay, "IDC_TDELAY"}, {IdcApply, "IDC_APPLY"}};

LRESULT onInitDialog(HWND page, UINT, WPARAM, LPARAM lParam)
{
    AttachToolPage(page, lParam);
    RelabelToolPage(page, kSection, kLabels);
    std::vector<std::string> items;
    for (int seconds : kDelays) items.push_back(std::to_string(seconds));
    FillToolCombo(page, IdcDelay, items, std::clamp<int>(ReadNumber("Capture", "Delay", kDefaultDelayIndex), 0, 3));
    return TRUE;
}

LRESULT onApply(HWND page, WORD, WORD code, LPARAM)
{
    if (code != BN_CLICKED) return TRUE;
    BatchRun& run = PageRun(page);
    int index = ToolComboChoice(page, IdcDelay, kDefaultDelayIndex);
    WriteNumber("Capture", "Delay", index);
    WriteConvertSettings(CurrentConvertSettings(run));
    SetTimer(run.owner, kCaptureTimer, static_cast<UINT>(CaptureDelaySeconds(index) * 1000), nullptr);
    SendMessage(run.sheet, PSM_PRESSBUTTON, PSBTN_OK, 0);
    return TRUE;
}

constexpr CommandEntry kCommands[] = {{IdcApply, onApply}};
constexpr CommandMap kCommandMap = makeCommandMap(kCommands, DefaultProcNone);

constexpr MessageEntry kMessages[] = {{WM_INITDIALOG, onInitDialog}, {WM_COMMAND, CommandMapProc<kCommandMap>}};
constexpr MessageMap kMessageMap = makeMessageMap(kMessages, DefaultProcNone);

INT_PTR procedure(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DispatchMessageMap(&kMessageMap, page, message, wParam, lParam);
}

bool fileExists(const std::string& path) { return GetFileAttributes(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// The screen's pixels as a true-colour picture (false when the rectangle is empty or memory runs out).
bool copyScreen(Bitmap& bitmap)
{
    int width = GetSystemMetrics(SM_CXSCREEN);
    int height = GetSystemMetrics(SM_CYSCREEN);
    if (width <= 0 || height <= 0) return false;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HBITMAP section = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool ok = section && bits && bitmapAllocate(bitmap, Bgr, 4, width, height);
    if (ok) {
        HDC memory = CreateCompatibleDC(screen);
        HGDIOBJ old = SelectObject(memory, section);
        BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
        GdiFlush();
        const size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~size_t{3};
        for (int y = 0; y < height; ++y)
            std::memcpy(bitmapRow(bitmap, y), static_cast<uint8_t*>(bits) + stride * static_cast<size_t>(y),
                        static_cast<size_t>(width) * 3);
        SelectObject(memory, old);
        DeleteDC(memory);
    }
    if (section) DeleteObject(section);
    ReleaseDC(nullptr, screen);
    return ok;
}

int saveCapture(Bitmap& bitmap, const ConvertSettings& settings, const std::string& path)
{
    int mode = OutputColourMode(settings);
    int code = bitmapConvertColours(bitmap, nullptr, static_cast<unsigned>(mode),
                                    mode == ColourBinary ? DitherDiffusion : DitherNone);
    if (code != 0) return code;
    SaveParams params;
    saveParamsDefaults(params);
    params.format = OutputFormatIndex(settings.format);
    params.quality = static_cast<uint16_t>(settings.jpegQuality);
    params.compression = static_cast<uint16_t>(settings.pngCompression);
    return saveBitmap(path, bitmap, params);
}

ToolDefinition captureTool()
{
    ToolDefinition tool;
    tool.name = "capture";
    tool.ownPages = {{&kDialog, procedure, kIdsCapture}};
    tool.folderPage = false;
    return tool;
}

}  // namespace

int CaptureDelaySeconds(int index)
{
    return index >= 0 && index < static_cast<int>(std::size(kDelays)) ? kDelays[index] : kDelays[kDefaultDelayIndex];
}

std::string NextCaptureName(const std::string& folder, int format)
{
    const char* extension = formatFirstExtension(OutputFormatIndex(format));
    for (int number = 1; number <= kLastCaptureNumber; ++number) {
        char name[32];
        std::snprintf(name, sizeof name, "capture%03d.%s", number, extension ? extension : "bmp");
        if (!fileExists(folder + name)) return name;
    }
    return "";
}

void RunCaptureSheet(HWND mainWindow)
{
    static const ToolDefinition tool = captureTool();
    // The sheet runs over no file; the run keeps one empty entry for its pages.
    RunToolSheet(mainWindow, tool, {std::string()}, 0);
}

void TakeScreenCapture(HWND mainWindow, const std::string& folder)
{
    Bitmap bitmap;
    if (!copyScreen(bitmap)) return;
    ConvertSettings settings = ReadConvertSettings();
    std::string target = folder;
    if (!target.empty() && target.back() != '/') target += '/';
    std::string name = NextCaptureName(target, settings.format);
    int code = name.empty() ? 1 : saveCapture(bitmap, settings, target + name);
    bitmapFree(bitmap);
    if (code != 0) {
        MessageBox(mainWindow, Tr(kIdsProblemSaving).c_str(), "", MB_OK | MB_ICONSTOP);
        return;
    }
    MessageBox(mainWindow, FormatText(Tr(kIdsCaptureOk), target, name).c_str(), "", MB_OK | MB_ICONINFORMATION);
}

}  // namespace fotrix
