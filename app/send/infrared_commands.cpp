// The infrared commands: the two transfer dialogs and their worker threads.
// The worker never touches a window: it keeps the text to show in the
// transfer record under a lock and posts the dialog a note (WM_USER+2 for the
// bar, WM_USER+3 for the text), then WM_USER+1 when it has ended. The dialog
// only ever writes the cancel flag, which the worker reads between packets.
#include "app/send/infrared_commands.h"

#include "app/browser/browser.h"
#include "app/browser/browser_internal.h"
#include "app/language.h"
#include "app/resources/texts.h"
#include "app/send/obex_discovery.h"
#include "app/send/obex_transfer.h"
#include "app/settings.h"
#include "app/shell/app_state.h"
#include "app/shell/command_ids.h"
#include "app/tools/output_pages.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <iterator>
#include <mutex>
#include <thread>

namespace fotrix {

namespace {

namespace fs = std::filesystem;

constexpr UINT kTransferDone = WM_USER + 1;
constexpr UINT kTransferPercent = WM_USER + 2;
constexpr UINT kTransferText = WM_USER + 3;
// Posted after WM_USER+1 as well: the browser flushes every pending WM_USER+1
// (its thumbnail note) when it stops its worker, and the end must not be lost.
constexpr UINT kTransferEnded = WM_USER + 4;

enum InfraredControl : int {
    IdcIrText = 1060,
    IdcIrProgress = 1061,
};

constexpr int kDiscoveryAttempts = 10;
constexpr int kDiscoveryPauseMs = 200;
constexpr int kProbeTimeoutMs = 500;
constexpr int kPeersCapacity = 1024;

constexpr DWORD kDialogStyle =
    DWORD{WS_POPUP | WS_CAPTION | WS_BORDER} | DS_SETFONT | DS_MODALFRAME | DS_CENTER;
const DialogItemTemplate kItems[] = {
    {WC_STATIC, IdcIrText, "", 8, 10, 208, 30, kToolShown, 0},
    {PROGRESS_CLASS, IdcIrProgress, "", 8, 46, 208, 14, kToolShown | DWORD{WS_BORDER}, 0},
    {WC_BUTTON, IDCANCEL, "Cancel", 82, 70, 60, 22, kToolButton, 0},
};
const DialogTemplate kDialog = {"", kDialogStyle, 0, 0, 0, 224, 100, "Tahoma", 8,
                                static_cast<int>(std::size(kItems)), kItems};
constexpr ToolLabel kLabels[] = {{IDCANCEL, "IDCANCEL"}};

enum class Direction { Send, Receive };

struct Transfer {
    Direction direction = Direction::Send;
    fs::path file;    // the file to send
    fs::path folder;  // where a received file goes
    std::uint16_t port = obex::kDefaultPort;
    std::string peers;
    int timeoutMs = obex::kDefaultTimeoutMs;

    HWND dialog = nullptr;
    std::thread worker;
    std::atomic<bool> cancel{false};
    std::mutex lock;
    std::string text;  // guarded by lock
    bool noDevice = false;
    obex::TransferResult result;  // written by the worker before it posts kTransferDone
};

const char* sectionOf(const Transfer& t) { return t.direction == Direction::Send ? "DlgIrda2" : "DlgIrda"; }

// Puts the given values in for the "%s" and "%d" marks of a text, in turn. A
// language file's text is never used as a printf format.
std::string filledIn(const std::string& pattern, std::initializer_list<std::string> values)
{
    std::string out;
    auto next = values.begin();
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        bool mark = pattern[i] == '%' && i + 1 < pattern.size() && (pattern[i + 1] == 's' || pattern[i + 1] == 'd');
        if (mark && next != values.end()) {
            out += *next++;
            ++i;
        } else {
            out += pattern[i];
        }
    }
    return out;
}

void showText(Transfer& t, std::string text)
{
    {
        std::lock_guard<std::mutex> guard(t.lock);
        t.text = std::move(text);
    }
    PostMessage(t.dialog, kTransferText, 0, 0);
}

std::string waitingText(std::uint16_t port)
{
    return filledIn(ToolSectionText("DlgIrda", "IDC_IR_TEXT", "Waiting for a file (port %d)..."),
                    {std::to_string(port)});
}

void showPercent(Transfer& t, int percent) { PostMessage(t.dialog, kTransferPercent, static_cast<WPARAM>(percent), 0); }

std::vector<obex::Device> findDevices(Transfer& t)
{
    std::vector<obex::Device> candidates{obex::localDevice(t.port)};
    for (const obex::Device& peer : obex::parsePeers(t.peers, t.port)) candidates.push_back(peer);
    for (int attempt = 1; attempt <= kDiscoveryAttempts && !t.cancel.load(); ++attempt) {
        showText(t, filledIn(Tr(kIdsSearchDev), {std::to_string(attempt)}));
        std::vector<obex::Device> found = obex::discoverDevices(candidates, kProbeTimeoutMs);
        if (!found.empty()) return found;
        std::this_thread::sleep_for(std::chrono::milliseconds(kDiscoveryPauseMs));
    }
    return {};
}

void sendWork(Transfer& t)
{
    std::vector<obex::Device> devices = findDevices(t);
    if (t.cancel.load()) {
        t.result.error = ECANCELED;
        return;
    }
    if (devices.empty()) {
        t.noDevice = true;
        return;
    }
    const obex::Device& device = devices.front();
    std::string pattern = ToolSectionText("DlgIrda2", "IDS_IR_SENDING", "Sending %s to %s...");
    showText(t, filledIn(pattern, {t.file.filename().string(), device.name}));
    obex::SendOptions options;
    options.host = device.host;
    options.port = device.port;
    options.timeoutMs = t.timeoutMs;
    options.connectAttempts = kDiscoveryAttempts;
    options.progress = [&t](int percent) {
        showPercent(t, percent);
        return t.cancel.load();
    };
    t.result = obex::sendFile(t.file, options);
}

void receiveWork(Transfer& t)
{
    int error = 0;
    obex::TcpListener listener(t.port, error);
    if (!listener.open()) {
        t.result.error = error;
        t.result.message = obex::sendFailedMessage(error);
        return;
    }
    obex::ReceiveOptions options;
    options.folder = t.folder;
    options.timeoutMs = t.timeoutMs;
    std::string pattern = ToolSectionText("DlgIrda", "IDS_IR_RECEIVING", "Receiving %s...");
    std::string shownName;
    options.progress = [&](const std::string& name, int percent) {
        if (name != shownName) {
            shownName = name;
            showText(t, filledIn(pattern, {name}));
        }
        if (percent >= 0) showPercent(t, percent);
        return t.cancel.load();
    };
    // A sender that broke off leaves nothing; the dialog says it waits again.
    options.sessionFailed = [&](const obex::TransferResult&) {
        if (shownName.empty()) return;  // a probe or a refused name: nothing was shown
        shownName.clear();
        showText(t, waitingText(t.port));
        showPercent(t, 0);
    };
    t.result = obex::receiveFile(listener, options, t.cancel);
}

Transfer* transferOf(HWND dialog) { return reinterpret_cast<Transfer*>(GetWindowLongPtr(dialog, DWLP_USER)); }

LRESULT onInitDialog(HWND dialog, UINT, WPARAM, LPARAM lParam)
{
    SetWindowLongPtr(dialog, DWLP_USER, lParam);
    Transfer& t = *reinterpret_cast<Transfer*>(lParam);
    t.dialog = dialog;
    RelabelToolPage(dialog, sectionOf(t), kLabels);
    bool sending = t.direction == Direction::Send;
    SetWindowText(dialog, ToolSectionText(sectionOf(t), "CAPTION", sending ? "Send" : "Receive").c_str());
    std::string waiting = waitingText(t.port);
    std::string searching = filledIn(Tr(kIdsSearchDev), {"1"});
    SetDlgItemText(dialog, IdcIrText, sending ? searching.c_str() : waiting.c_str());
    SendDlgItemMessage(dialog, IdcIrProgress, PBM_SETRANGE32, 0, 100);
    t.worker = std::thread([&t] {
        if (t.direction == Direction::Send) sendWork(t);
        else receiveWork(t);
        PostMessage(t.dialog, kTransferDone, 0, 0);
        PostMessage(t.dialog, kTransferEnded, 0, 0);
    });
    return TRUE;
}

LRESULT onPercent(HWND dialog, UINT, WPARAM wParam, LPARAM)
{
    SendDlgItemMessage(dialog, IdcIrProgress, PBM_SETPOS, wParam, 0);
    return TRUE;
}

LRESULT onText(HWND dialog, UINT, WPARAM, LPARAM)
{
    Transfer* t = transferOf(dialog);
    std::string text;
    {
        std::lock_guard<std::mutex> guard(t->lock);
        text = t->text;
    }
    SetDlgItemText(dialog, IdcIrText, text.c_str());
    return TRUE;
}

LRESULT onDone(HWND dialog, UINT, WPARAM, LPARAM)
{
    Transfer* t = transferOf(dialog);
    if (!t->worker.joinable()) return TRUE;  // the second of the two notes
    t->worker.join();
    EndDialog(dialog, IDOK);
    return TRUE;
}

// Cancel only asks: the dialog closes when the worker has seen it and ended.
LRESULT onCommand(HWND dialog, UINT, WPARAM wParam, LPARAM)
{
    if (LOWORD(wParam) != IDCANCEL) return FALSE;
    transferOf(dialog)->cancel.store(true);
    EnableWindow(GetDlgItem(dialog, IDCANCEL), FALSE);
    return TRUE;
}

constexpr MessageEntry kMessages[] = {
    {WM_INITDIALOG, onInitDialog}, {WM_COMMAND, onCommand},  {kTransferDone, onDone}, {kTransferEnded, onDone},
    {kTransferPercent, onPercent}, {kTransferText, onText},
};
constexpr MessageMap kMessageMap = makeMessageMap(kMessages, DefaultProcNone);

INT_PTR procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DispatchMessageMap(&kMessageMap, dialog, message, wParam, lParam);
}

void readSettings(Transfer& t)
{
    int32_t port = ReadNumber(kInfraredSection, "Port", obex::kDefaultPort);
    t.port = port > 0 && port <= 65535 ? static_cast<std::uint16_t>(port) : obex::kDefaultPort;
    int32_t timeout = ReadNumber(kInfraredSection, "Timeout", obex::kDefaultTimeoutMs);
    t.timeoutMs = timeout > 0 ? timeout : obex::kDefaultTimeoutMs;
    ReadText(kInfraredSection, "Peers", "", t.peers, kPeersCapacity);
}

void runTransfer(HWND mainWindow, Transfer& t)
{
    readSettings(t);
    DialogBoxIndirectParam(nullptr, &kDialog, mainWindow, procedure, reinterpret_cast<LPARAM>(&t));
    // Normally the worker has ended already; a dialog torn down before it did
    // (the program quitting) stops it here.
    if (t.worker.joinable()) {
        t.cancel.store(true);
        t.worker.join();
    }
}

void showFailure(HWND mainWindow, const obex::TransferResult& result)
{
    MessageBox(mainWindow, result.message.c_str(), Tr(kIdsError).c_str(), MB_OK | MB_ICONSTOP);
}

// A received file joins the list (when its type is listed) and is selected.
void showReceived(const std::string& folder, const std::string& name)
{
    RefreshFile(folder, name);
    const std::string path = folder + name;
    for (std::size_t i = 0; i < gApp.files.size(); ++i)
        if (gApp.files[i].path == path) SelectOnly(static_cast<int>(i));
}

void sendSelected(HWND mainWindow)
{
    std::vector<SelectedFile> selected = SelectedFiles(true);
    if (selected.empty()) return;
    Transfer t;
    t.direction = Direction::Send;
    t.file = selected.front().path;
    runTransfer(mainWindow, t);
    // No receiver in reach ends quietly; a transfer that broke or was refused says so.
    if (!t.noDevice && !t.result.ok && t.result.error != ECANCELED) showFailure(mainWindow, t.result);
}

void receiveHere(HWND mainWindow)
{
    Transfer t;
    t.direction = Direction::Receive;
    t.folder = gApp.currentFolder;
    std::string folder = gApp.currentFolder;
    runTransfer(mainWindow, t);
    if (t.result.ok) showReceived(folder, t.result.name);
    else if (t.result.error != ECANCELED) showFailure(mainWindow, t.result);
}

}  // namespace

bool ObexCommandReady(int command)
{
    if (command == CmdSendInfrared) return SelectedCount() > 0;
    if (command == CmdReceiveInfrared) return !gApp.currentFolder.empty();
    return false;
}

void RunObexCommand(HWND mainWindow, int command)
{
    if (command == CmdSendInfrared) sendSelected(mainWindow);
    else if (command == CmdReceiveInfrared) receiveHere(mainWindow);
}

}  // namespace fotrix
