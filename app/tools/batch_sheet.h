#pragma once
// The tool sheet every batch tool runs in, and how a tool plugs into it.
//
// A tool is a ToolDefinition: its name, its own page(s) (a dialog template,
// its procedure and its tab title), which of the shared pages follow them
// (the information page before, the output-format and output-folder pages
// after), the operation it makes on each picture, and the message its
// Apply on a single file shows. RunToolSheet opens the sheet over the
// selected files; every page procedure calls AttachToolPage on
// WM_INITDIALOG and then reaches the run with PageRun.
//
// Apply (the current file) and Apply to all (every file, first to last) go
// through ApplyBatch: each file is loaded (batchLoad), handed to the tool's
// `operate`, and written by batchSave with the settings read from the
// format and folder pages at that moment. A tool whose files take another
// road (a lossless JPEG transform) gives `processFile` instead. A batch over
// several files shows a progress strip with the file being written, keeps
// the windows painting between files and stops between files on Cancel.
// After Apply to all, or when only one file was selected, the sheet closes
// with OK (the pages then store their settings); otherwise it stays open.
//
// The pages learn that the current file changed (Previous/Next, or a step
// of the batch) through kToolCurrentChanged, sent to every page made so far.
#include "app/resources/texts.h"
#include "app/tools/batch_save.h"
#include "app/tools/batch_settings.h"
#include "imagelib/bitmap.h"
#include "platform/windows.h"

#include <string>
#include <vector>

namespace fotrix {

struct BatchRun;

// Sent to each page when the run's current file changes (wParam the new index).
constexpr UINT kToolCurrentChanged = WM_APP + 0x240;

struct ToolPage {
    const DialogTemplate* dialog;
    DLGPROC procedure;
    TextId title;
};

struct ToolDefinition {
    const char* name = "";             // the `sheet` the script's state shows
    std::vector<ToolPage> ownPages;    // shown first
    bool infoPage = false;             // the information page (with its Apply buttons) before them
    bool formatPage = true;            // then the output-format page
    bool folderPage = true;            // and the output-folder page
    bool folderButtons = false;        // Apply and Apply to all on the folder page
    // The change made to a loaded picture before it is written: 0, or a
    // result code that skips the file.
    int (*operate)(BatchRun& run, Bitmap& bitmap) = nullptr;
    // Replaces load, operate and save for one file when given.
    BatchResult (*processFile)(BatchRun& run, const std::string& path, const TextId* message) = nullptr;
    const TextId* successMessage = nullptr;  // after Apply on a single file
    void (*onOk)(BatchRun& run) = nullptr;   // the sheet ended with OK
    void* data = nullptr;                    // the tool's own state, for its pages
};

struct BatchRun {
    const ToolDefinition* tool = nullptr;
    std::vector<std::string> files;
    int current = 0;
    HWND owner = nullptr;       // the main window
    HWND sheet = nullptr;
    HWND formatPage = nullptr;  // null until the page is first shown
    HWND folderPage = nullptr;
    std::vector<HWND> pages;    // every page made so far
    ConvertSettings convert;    // as read from the registry, until the pages exist
    FolderSettings folder;
    BatchResult last;
    bool hasResult = false;
    bool cancelled = false;
    bool busy = false;          // a batch is running
    int done = 0;               // files handled in the running batch
};

// Runs the tool's sheet over `files` starting at `current`; 1 on OK, 0 on
// Cancel, -1 when the sheet could not be made or there are no files.
int RunToolSheet(HWND owner, const ToolDefinition& tool, std::vector<std::string> files, int current);
// The run of the sheet open now, or null.
BatchRun* ActiveBatchRun();

// Page plumbing: WM_INITDIALOG's lParam is the page record.
void AttachToolPage(HWND page, LPARAM propSheetPage);
BatchRun& PageRun(HWND page);

// The output settings as the pages show them now (the registry's before the pages exist).
ConvertSettings CurrentConvertSettings(BatchRun& run);
FolderSettings CurrentFolderSettings(BatchRun& run);

// Apply (all = false: the current file) or Apply to all, from a page's button.
void ApplyBatch(HWND page, bool all);
// Stops the running batch before its next file.
void CancelBatch();
// The progress strip's window while a batch runs (null otherwise).
HWND BatchProgressWindow();

// Moves the current file by `delta` through the selection (clamped) and tells the pages.
void StepCurrentFile(BatchRun& run, int delta);
void SetCurrentFile(BatchRun& run, int index);

// What the script's state shows of the open sheet.
std::string ToolSheetName();
std::string ToolSheetPage();
std::string ToolCurrentFile();
std::string ToolLastResult();

}  // namespace fotrix
