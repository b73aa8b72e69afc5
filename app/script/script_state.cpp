// The `state` file: "key: value" lines from the application's record and its
// windows, in a fixed order (outside checks read them), then the lines of the
// registered writers, then one "item:" line per entry of the file list.
#include "app/album/album_wizard.h"
#include "app/album/slideshow_player.h"
#include "app/properties/properties_sheet.h"
#include "app/script/script_runtime.h"
#include "app/script/script_windows.h"
#include "app/shell/app_state.h"
#include "app/tools/batch_sheet.h"
#include "app/viewer/main_view.h"

#include <cstdio>
#include <vector>

namespace fotrix::script {

namespace {

// Columns that the list shows for an entry in List mode (name, date, type, size, dimensions).
constexpr int kListColumns = 5;

std::string number(long n) { return std::to_string(n); }
std::string size(int w, int h) { return std::to_string(w) + "x" + std::to_string(h); }

// Values stay on their line: a line break becomes the two characters "\n".
std::string oneLine(const std::string& text)
{
    std::string out;
    for (char c : text) {
        if (c == '\n') out += "\\n";
        else if (c != '\r') out += c;
    }
    return out;
}

std::string windowText(HWND w)
{
    std::string out(static_cast<size_t>(GetWindowTextLength(w)) + 1, '\0');
    int n = GetWindowText(w, out.data(), static_cast<int>(out.size()));
    out.resize(static_cast<size_t>(n > 0 ? n : 0));
    return out;
}

std::string selectedIndexes()
{
    std::string out;
    HWND list = gApp.listWindow;
    if (!list || !IsWindow(list)) return out;
    for (int i = ListView_GetNextItem(list, -1, LVNI_SELECTED); i >= 0; i = ListView_GetNextItem(list, i, LVNI_SELECTED)) {
        if (!out.empty()) out += ',';
        out += std::to_string(i);
    }
    return out;
}

std::string focusedIndex()
{
    HWND list = gApp.listWindow;
    return number(list && IsWindow(list) ? ListView_GetNextItem(list, -1, LVNI_FOCUSED) : -1);
}

std::string topWindow()
{
    HWND w = GetActiveWindow();
    if (!w) return "";
    char cls[128] = "";
    GetClassName(w, cls, sizeof cls);
    return std::string(cls) + " " + oneLine(windowText(w));
}

std::string shownMessage()
{
    HWND box = ShownMessageBox();
    return box ? oneLine(MessageBoxText(box)) : "";
}

struct StateKey {
    const char* key;
    std::string (*value)();
};

const StateKey kStateKeys[] = {
    {"mode", [] { return number(gApp.mode); }},
    {"return-mode", [] { return number(gApp.returnMode); }},
    {"folder", [] { return oneLine(gApp.currentFolder); }},
    {"sort", [] { return number(gApp.sort); }},
    {"items", [] { return number(fileCount()); }},
    {"selected", selectedIndexes},
    {"focused", focusedIndex},
    {"current-index", [] { return number(gApp.currentIndex); }},
    {"current-page", [] { return number(gApp.currentPage); }},
    {"page-count", [] { return number(gApp.pageCount); }},
    {"zoom-percent", [] { return number(gApp.zoomPercent); }},
    {"fit-mode", [] { return number(ViewGetFitMode()); }},
    {"view-zoom", [] { return number(ViewGetZoom()); }},
    {"loaded", [] { return size(gApp.loadedWidth, gApp.loadedHeight); }},
    {"full", [] { return size(gApp.fullWidth, gApp.fullHeight); }},
    {"tree-height", [] { return number(gApp.treeViewHeight); }},
    {"tree-hidden", [] { return number(gApp.treeHidden); }},
    {"list-hidden", [] { return number(gApp.listHidden); }},
    {"slideshow", [] { return number(gApp.mode == ModeSlideshow ? 1 : 0); }},
    {"top-window", topWindow},
    {"message", shownMessage},
    {"slideshow-window", [] { return number(slideshowRunning() ? 1 : 0); }},
    {"slide", [] { return number(slideshowShownIndex()); }},
    {"sound", [] { return slideshowSoundMember(); }},
    // The tool sheet open now (empty when none), its page index, its current
    // file, and the outcome of the last file a tool handled ("CODE PATH").
    // A tool sheet, or else the picture properties sheet (its page by title).
    // The album wizard shows as sheet "album" or "self-running" with its page index.
    {"sheet", [] { return !AlbumWizardName().empty() ? AlbumWizardName() : ToolSheetName().empty() ? PropertiesSheetName() : ToolSheetName(); }},
    {"page", [] { return !AlbumWizardName().empty() ? AlbumWizardPage() : ToolSheetName().empty() ? PropertiesPageTitle() : ToolSheetPage(); }},
    {"current-file", [] { return oneLine(ToolCurrentFile()); }},
    {"result", [] { return oneLine(ToolLastResult()); }},
};

std::string itemText(HWND list, int index, int column)
{
    char buffer[1024] = "";
    LVITEM item{};
    item.iSubItem = column;
    item.pszText = buffer;
    item.cchTextMax = sizeof buffer;
    SendMessage(list, LVM_GETITEMTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    return oneLine(buffer);
}

// What the list shows for entry `index`: its label, or in List mode its columns.
std::string shownText(int index)
{
    if (ItemTextSource source = ItemTexts()) return oneLine(source(index));
    HWND list = gApp.listWindow;
    if (!list || !IsWindow(list) || index >= ListView_GetItemCount(list)) return "";
    if (gApp.mode != ModeList) return itemText(list, index, 0);
    std::string out;
    for (int column = 0; column < kListColumns; ++column) {
        if (column) out += " | ";
        out += itemText(list, index, column);
    }
    return out;
}

std::string fileName(const std::string& path)
{
    size_t end = path.size();
    if (end > 1 && path[end - 1] == '/') --end;  // a folder keeps its own name
    size_t slash = path.rfind('/', end - 1);
    return path.substr(slash == std::string::npos ? 0 : slash + 1, end - (slash == std::string::npos ? 0 : slash + 1));
}

void appendItems(std::string& out)
{
    for (int i = 0; i < fileCount(); ++i) {
        const FileEntry& e = gApp.files[static_cast<size_t>(i)];
        out += "item: " + std::to_string(i) + " " + oneLine(fileName(e.path)) + " | " + shownText(i) + " | " +
               std::to_string(e.state) + "\n";
    }
}

}  // namespace

std::string StateText()
{
    std::string out;
    for (const StateKey& k : kStateKeys) out += std::string(k.key) + ": " + k.value() + "\n";
    for (auto writer : StateWriters()) writer(out);
    appendItems(out);
    return out;
}

// Written beside the target and renamed over it, so a reader never sees half a file.
bool WriteStateFile(const std::string& path, std::string* error)
{
    std::string text = StateText();
    std::string temporary = path + ".tmp";
    FILE* f = std::fopen(temporary.c_str(), "wb");
    bool ok = f && std::fwrite(text.data(), 1, text.size(), f) == text.size();
    if (f && std::fclose(f) != 0) ok = false;
    if (ok && std::rename(temporary.c_str(), path.c_str()) != 0) ok = false;
    if (!ok) {
        if (f) std::remove(temporary.c_str());
        *error = "cannot write " + path;
    }
    return ok;
}

}  // namespace fotrix::script
