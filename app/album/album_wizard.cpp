// The album wizard's frame: a full-screen dialog "DlgAlbum" holding one page
// at a time, with Back and Next on its menu bar (Back off on pages 0 and 1,
// Next off on page 6). The "Slide" settings are read when it opens and
// stored when it ends with OK.
#include "app/album/album_wizard.h"

#include <iterator>

#include "app/album/album_wizard_internal.h"
#include "app/settings.h"
#include "app/shell/app_state.h"
#include "app/tools/convert_tool.h"
#include "app/tools/output_pages.h"
#include "platform/menu/menubar.h"
#include "platform/window/message_map.h"

namespace fotrix {

namespace {

constexpr int kWizardBar = 4400;
constexpr const char* kSlideKey = "Slide";

AlbumWizardRun* gWizard = nullptr;

const DialogTemplate kFrame = {"Fotrix Pocket", DWORD{WS_POPUP} | DS_SETFONT, 0, 0, 0, 240, 268, "Tahoma", 8, 0, nullptr};

void registerBar()
{
    static const MenuBarButtonTemplate buttons[] = {
        {I_IMAGENONE, IdcAlBack, TBSTATE_ENABLED, TBSTYLE_BUTTON | TBSTYLE_AUTOSIZE, "Back", NOMENU},
        {I_IMAGENONE, IdcAlNext, TBSTATE_ENABLED, TBSTYLE_BUTTON | TBSTYLE_AUTOSIZE, "Next", NOMENU},
    };
    static const MenuBarResource bar = {kWizardBar, 0, buttons, static_cast<int>(std::size(buttons))};
    static bool registered = false;
    if (!registered) RegisterMenuBars(&bar, 1);
    registered = true;
}

void relabelBar(HWND bar)
{
    const std::pair<int, std::string> labels[] = {{IdcAlBack, ToolSectionText(kWizardSection, "IDC_BACK", "Back")},
                                                  {IdcAlNext, ToolSectionText(kWizardSection, "IDC_NEXT", "Next")}};
    for (const auto& [command, text] : labels) {
        std::string copy = text;
        TBBUTTONINFO info{};
        info.cbSize = sizeof info;
        info.dwMask = TBIF_TEXT;
        info.pszText = copy.data();
        SendMessage(bar, TB_SETBUTTONINFO, static_cast<WPARAM>(command), reinterpret_cast<LPARAM>(&info));
    }
}

void updateBar(AlbumWizardRun& run)
{
    SendMessage(run.bar, TB_ENABLEBUTTON, IdcAlBack, !run.building && run.page > 1);
    SendMessage(run.bar, TB_ENABLEBUTTON, IdcAlNext, !run.building && run.page < kWizardPageCount - 1);
}

HWND makePage(AlbumWizardRun& run, int index)
{
    if (!run.pages[index]) {
        const WizardPage& page = WizardPageAt(index);
        run.pages[index] = CreateDialogIndirectParam(GetModuleHandle(nullptr), page.dialog, run.frame, page.procedure,
                                                     reinterpret_cast<LPARAM>(&run));
        RECT client{};
        GetClientRect(run.frame, &client);
        if (run.pages[index]) MoveWindow(run.pages[index], 0, 0, client.right, client.bottom, FALSE);
    }
    return run.pages[index];
}

void showPage(AlbumWizardRun& run, int index)
{
    HWND next = makePage(run, index);
    if (!next) return;
    if (run.page != index && run.pages[run.page]) ShowWindow(run.pages[run.page], SW_HIDE);
    run.page = index;
    if (index == 1) FillPictureList(run);
    ShowWindow(next, SW_SHOW);
    updateBar(run);
}

// Leaving page 0 for another source empties the picture list, so page 1
// shows the new source's pictures.
void step(AlbumWizardRun& run, int delta)
{
    int target = run.page + delta;
    if (run.building || target < 0 || target >= kWizardPageCount) return;
    if (run.page == 0) {
        int before = run.source;
        ReadWizardPages(run);
        if (run.source != before) ClearPictureList(run);
    }
    showPage(run, target);
}

LRESULT onInitDialog(HWND frame, UINT, WPARAM, LPARAM lParam)
{
    auto& run = *reinterpret_cast<AlbumWizardRun*>(lParam);
    SetWindowLongPtr(frame, DWLP_USER, lParam);
    run.frame = frame;
    SHINITDLGINFO init{SHIDIM_FLAGS, frame, SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_SIPDOWN};
    SHInitDialog(&init);
    registerBar();
    SHMENUBARINFO info{};
    info.cbSize = sizeof info;
    info.hwndParent = frame;
    info.nToolBarId = kWizardBar;
    info.hInstRes = GetModuleHandle(nullptr);
    if (SHCreateMenuBar(&info)) run.bar = info.hwndMB;
    relabelBar(run.bar);
    // Without a selection the first choice is not offered; the folder is preset.
    run.source = run.selected.empty() ? SourceFolder : SourceSelected;
    showPage(run, 0);
    return TRUE;
}

AlbumWizardRun& frameRun(HWND frame) { return *reinterpret_cast<AlbumWizardRun*>(GetWindowLongPtr(frame, DWLP_USER)); }

LRESULT onBack(HWND frame, WORD, WORD, LPARAM)
{
    step(frameRun(frame), -1);
    return TRUE;
}

LRESULT onNext(HWND frame, WORD, WORD, LPARAM)
{
    step(frameRun(frame), +1);
    return TRUE;
}

// The task bar's "ok" and Escape close the wizard without a build (not while one runs).
LRESULT onClose(HWND frame, WORD, WORD, LPARAM)
{
    AlbumWizardRun& run = frameRun(frame);
    if (run.building) {
        run.cancelled = true;
        return TRUE;
    }
    EndDialog(frame, IDCANCEL);
    return TRUE;
}

constexpr CommandEntry kCommands[] = {
    {IdcAlBack, onBack},
    {IdcAlNext, onNext},
    {IDOK, onClose},
    {IDCANCEL, onClose},
};
constexpr CommandMap kCommandMap = makeCommandMap(kCommands, DefaultProcNone);

LRESULT onGetCurrentPage(HWND frame, UINT, WPARAM, LPARAM)
{
    AlbumWizardRun& run = frameRun(frame);
    SetWindowLongPtr(frame, DWLP_MSGRESULT, reinterpret_cast<LONG_PTR>(run.pages[run.page]));
    return TRUE;
}

constexpr MessageEntry kMessages[] = {
    {WM_INITDIALOG, onInitDialog},
    {WM_COMMAND, CommandMapProc<kCommandMap>},
    {PSM_GETCURRENTPAGEHWND, onGetCurrentPage},
};
constexpr MessageMap kMessageMap = makeMessageMap(kMessages, DefaultProcNone);

struct NumberSetting {
    const char* name;
    int SlideshowSettings::*field;
};
constexpr NumberSetting kNumbers[] = {
    {"Delay", &SlideshowSettings::delay},           {"Size", &SlideshowSettings::size},
    {"Fit", &SlideshowSettings::fit},               {"Rotate", &SlideshowSettings::rotate},
    {"Brightness", &SlideshowSettings::autoLevels}, {"JPEGQuality", &SlideshowSettings::jpegQuality},
    {"UseTransitions", &SlideshowSettings::transitions}, {"UseSound", &SlideshowSettings::audio},
    {"Loop", &SlideshowSettings::loop},
};
struct TextSetting {
    const char* name;
    std::string SlideshowSettings::*field;
};
constexpr TextSetting kTexts[] = {
    {"SoundFile", &SlideshowSettings::soundPath},
    {"OutputDir", &SlideshowSettings::outputDir},
    {"OutputFile", &SlideshowSettings::outputName},
};

}  // namespace

AlbumWizardRun& WizardRun(HWND page) { return *reinterpret_cast<AlbumWizardRun*>(GetWindowLongPtr(page, DWLP_USER)); }

void EnableWizardButtons(AlbumWizardRun& run, bool enable)
{
    run.building = !enable;
    updateBar(run);
}

SlideshowSettings ReadSlideshowSettings()
{
    const SlideshowSettings defaults;
    SlideshowSettings settings;
    for (const NumberSetting& n : kNumbers) settings.*n.field = ReadNumber(kSlideKey, n.name, defaults.*n.field);
    for (const TextSetting& t : kTexts) ReadText(kSlideKey, t.name, (defaults.*t.field).c_str(), settings.*t.field, MAX_PATH);
    return settings;
}

void WriteSlideshowSettings(const SlideshowSettings& settings)
{
    for (const NumberSetting& n : kNumbers) WriteNumber(kSlideKey, n.name, settings.*n.field);
    for (const TextSetting& t : kTexts) WriteText(kSlideKey, t.name, (settings.*t.field).c_str());
}

INT_PTR RunAlbumWizard(HWND owner, WizardProduct product)
{
    if (gWizard) return -1;
    AlbumWizardRun run;
    run.product = product;
    run.settings = ReadSlideshowSettings();
    if (run.settings.outputDir.empty()) run.settings.outputDir = gApp.currentFolder;
    run.selected = SelectedToolFiles().files;
    run.folder = gApp.currentFolder;
    gWizard = &run;
    INT_PTR result = DialogBoxIndirectParam(GetModuleHandle(nullptr), &kFrame, owner, MessageMapProc<kMessageMap>,
                                            reinterpret_cast<LPARAM>(&run));
    gWizard = nullptr;
    if (result == IDOK) WriteSlideshowSettings(run.settings);
    return result;
}

std::string AlbumWizardName()
{
    if (!gWizard) return "";
    return gWizard->product == WizardProduct::Album ? "album" : "self-running";
}

std::string AlbumWizardPage() { return gWizard ? std::to_string(gWizard->page) : ""; }

}  // namespace fotrix
