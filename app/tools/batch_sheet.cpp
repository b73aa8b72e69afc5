#include "app/tools/batch_sheet.h"

#include "app/tools/batch_progress.h"
#include "app/tools/output_pages.h"

#include <algorithm>

namespace fotrix {

namespace {

BatchRun* gActive = nullptr;
// The last Apply's outcome stays after the sheet closes, so a script can read it.
std::string gLastResult;

struct ActiveRunScope {
    BatchRun* previous;
    explicit ActiveRunScope(BatchRun* run) : previous(gActive) { gActive = run; }
    ~ActiveRunScope() { gActive = previous; }
};

std::vector<ToolPage> sheetPages(const ToolDefinition& tool)
{
    std::vector<ToolPage> pages;
    if (tool.infoPage) pages.push_back(InfoPage());
    pages.insert(pages.end(), tool.ownPages.begin(), tool.ownPages.end());
    if (tool.formatPage) pages.push_back(OutputFormatPage());
    if (tool.folderPage) pages.push_back(OutputFolderPage());
    return pages;
}

BatchResult loadOperateSave(BatchRun& run, const std::string& path, const TextId* message)
{
    Bitmap bitmap;
    if (batchLoad(path, bitmap) != 0) return {BatchNotLoaded, path};
    BatchResult result{BatchSkipped, path};
    if (!run.tool->operate || run.tool->operate(run, bitmap) == 0)
        result = batchSave(run.sheet, CurrentConvertSettings(run), CurrentFolderSettings(run), message, path, bitmap);
    bitmapFree(bitmap);
    return result;
}

BatchResult processOne(BatchRun& run, int index, const TextId* message)
{
    const std::string& path = run.files[static_cast<size_t>(index)];
    if (run.tool->processFile) return run.tool->processFile(run, path, message);
    return loadOperateSave(run, path, message);
}

void closeWithOk(BatchRun& run)
{
    if (run.sheet) SendMessage(run.sheet, PSM_PRESSBUTTON, PSBTN_OK, 0);
}

void runFiles(HWND page, BatchRun& run, int first, int last)
{
    bool single = first == last;
    const TextId* message = single ? run.tool->successMessage : nullptr;
    HCURSOR previousCursor = SetCursor(LoadCursor(nullptr, IDC_WAIT));
    BatchProgress progress(page, single ? 0 : last - first + 1);
    for (int i = first; i <= last; ++i) {
        progress.show(i - first, run.files[static_cast<size_t>(i)]);
        if (run.cancelled) break;
        run.last = processOne(run, i, message);
        run.hasResult = true;
        gLastResult = std::to_string(run.last.code) + " " + run.last.path;
        ++run.done;
    }
    SetCursor(previousCursor);
}

}  // namespace

BatchRun* ActiveBatchRun() { return gActive; }

void AttachToolPage(HWND page, LPARAM propSheetPage)
{
    SetWindowLongPtr(page, DWLP_USER, propSheetPage);
    BatchRun& run = PageRun(page);
    run.sheet = GetParent(page);
    run.pages.push_back(page);
}

BatchRun& PageRun(HWND page)
{
    auto* record = reinterpret_cast<PROPSHEETPAGE*>(GetWindowLongPtr(page, DWLP_USER));
    return *reinterpret_cast<BatchRun*>(record->lParam);
}

ConvertSettings CurrentConvertSettings(BatchRun& run)
{
    if (run.formatPage && IsWindow(run.formatPage)) ReadFormatPage(run.formatPage, run.convert);
    return run.convert;
}

FolderSettings CurrentFolderSettings(BatchRun& run)
{
    if (run.folderPage && IsWindow(run.folderPage)) ReadFolderPage(run.folderPage, run.folder);
    return run.folder;
}

void ApplyBatch(HWND page, bool all)
{
    BatchRun& run = PageRun(page);
    if (run.busy || run.files.empty()) return;
    int first = all ? 0 : run.current;
    int last = all ? static_cast<int>(run.files.size()) - 1 : run.current;
    run.busy = true;
    run.cancelled = false;
    run.done = 0;
    runFiles(page, run, first, last);
    run.busy = false;
    if (!run.cancelled && (all || run.files.size() == 1)) closeWithOk(run);
}

void CancelBatch()
{
    if (gActive && gActive->busy) gActive->cancelled = true;
}

void SetCurrentFile(BatchRun& run, int index)
{
    if (run.files.empty()) return;
    index = std::clamp(index, 0, static_cast<int>(run.files.size()) - 1);
    if (index == run.current) return;
    run.current = index;
    for (HWND page : run.pages)
        if (IsWindow(page)) SendMessage(page, kToolCurrentChanged, static_cast<WPARAM>(index), 0);
}

void StepCurrentFile(BatchRun& run, int delta) { SetCurrentFile(run, run.current + delta); }

int RunToolSheet(HWND owner, const ToolDefinition& tool, std::vector<std::string> files, int current)
{
    if (files.empty()) return -1;
    BatchRun run;
    run.tool = &tool;
    run.files = std::move(files);
    run.current = std::clamp(current, 0, static_cast<int>(run.files.size()) - 1);
    run.owner = owner;
    run.convert = ReadConvertSettings();
    run.folder = ReadFolderSettings();
    std::vector<ToolPage> pages = sheetPages(tool);
    std::vector<std::string> titles(pages.size());
    std::vector<PROPSHEETPAGE> records(pages.size());
    for (size_t i = 0; i < pages.size(); ++i) {
        titles[i] = Tr(pages[i].title);
        DWORD flags = PSP_DLGINDIRECT | (titles[i].empty() ? 0 : PSP_USETITLE);
        records[i] = PROPSHEETPAGE{sizeof(PROPSHEETPAGE), flags, nullptr, nullptr, pages[i].dialog, nullptr,
                                   titles[i].c_str(), pages[i].procedure, reinterpret_cast<LPARAM>(&run),
                                   nullptr, nullptr};
    }
    PROPSHEETHEADER header{sizeof(PROPSHEETHEADER), PSH_PROPSHEETPAGE | PSH_NOAPPLYNOW, owner, nullptr, nullptr,
                           "Fotrix Pocket", static_cast<UINT>(records.size()), 0, records.data(), nullptr, nullptr};
    ActiveRunScope active(&run);
    INT_PTR result = PropertySheet(&header);
    if (result == 1 && tool.onOk) tool.onOk(run);
    return static_cast<int>(result);
}

std::string ToolSheetName() { return gActive ? gActive->tool->name : ""; }

std::string ToolSheetPage()
{
    if (!gActive || !gActive->sheet || !IsWindow(gActive->sheet)) return "";
    auto page = static_cast<WPARAM>(SendMessage(gActive->sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
    return std::to_string(SendMessage(gActive->sheet, PSM_HWNDTOINDEX, page, 0));
}

std::string ToolCurrentFile()
{
    return gActive ? gActive->files[static_cast<size_t>(gActive->current)] : "";
}

std::string ToolLastResult() { return gLastResult; }

}  // namespace fotrix
