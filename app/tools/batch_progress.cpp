#include "app/tools/batch_progress.h"

#include "app/tools/batch_save.h"
#include "app/tools/batch_sheet.h"
#include "app/tools/output_pages.h"
#include "app/tools/tool_ids.h"

namespace fotrix {

namespace {

constexpr const char* kStripClass = "FotrixBatchProgress";
constexpr int kStripHeight = 56;
HWND gStrip = nullptr;

LRESULT stripProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND && LOWORD(wParam) == IdcBatchCancel) {
        CancelBatch();
        return 0;
    }
    return DefWindowProc(hwnd, message, wParam, lParam);
}

void registerStripClass()
{
    static bool registered = false;
    if (registered) return;
    WNDCLASS wc{};
    wc.lpfnWndProc = stripProcedure;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kStripClass;
    registered = RegisterClass(&wc) != 0;
}

HWND makeStrip(HWND page, int count)
{
    registerStripClass();
    RECT area{};
    GetClientRect(page, &area);
    int width = area.right - area.left;
    HWND strip = CreateWindow(kStripClass, "", WS_CHILD | WS_VISIBLE | WS_BORDER, 0, area.bottom - kStripHeight, width,
                              kStripHeight, page, nullptr, nullptr, nullptr);
    if (!strip) return nullptr;
    CreateWindow(WC_STATIC, "", WS_CHILD | WS_VISIBLE | SS_LEFTNOWORDWRAP, 4, 4, width - 8, 16, strip,
                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(IdcBatchFile)), nullptr, nullptr);
    HWND bar = CreateWindow(PROGRESS_CLASS, "", WS_CHILD | WS_VISIBLE, 4, 26, width - 80, 20, strip,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(IdcBatchProgress)), nullptr, nullptr);
    SendMessage(bar, PBM_SETRANGE32, 0, count);
    std::string cancel = ToolSectionText("DlgFolder", "IDC_BATCH_CANCEL", "Cancel");
    CreateWindow(WC_BUTTON, cancel.c_str(), WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON,
                 width - 72, 24, 68, 24, strip, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IdcBatchCancel)),
                 nullptr, nullptr);
    return strip;
}

bool isInput(UINT message)
{
    return (message >= WM_KEYFIRST && message <= WM_KEYLAST) || (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST);
}

bool forStrip(HWND strip, HWND target) { return target == strip || IsChild(strip, target); }

// Runs what waits, keeping input away from everything but the strip.
void pump(HWND strip)
{
    MSG msg;
    while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            CancelBatch();
            return;
        }
        if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) {
            CancelBatch();
            continue;
        }
        if (isInput(msg.message) && !forStrip(strip, msg.hwnd)) continue;
        TranslateMessage(&msg);
        DispatchMessage(&msg);
    }
}

}  // namespace

HWND BatchProgressWindow() { return gStrip; }

BatchProgress::BatchProgress(HWND page, int count)
{
    if (count <= 0) return;
    strip_ = makeStrip(page, count);
    gStrip = strip_;
}

BatchProgress::~BatchProgress()
{
    if (strip_) DestroyWindow(strip_);
    if (gStrip == strip_) gStrip = nullptr;
}

void BatchProgress::show(int index, const std::string& path)
{
    if (!strip_) return;
    SetDlgItemText(strip_, IdcBatchFile, FileNameOf(path).c_str());
    SendDlgItemMessage(strip_, IdcBatchProgress, PBM_SETPOS, static_cast<WPARAM>(index), 0);
    UpdateWindow(strip_);
    pump(strip_);
}

}  // namespace fotrix
