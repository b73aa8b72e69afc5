// The Create button of the wizard's last page: the pages' values and the
// checked pictures become a build job, an existing product is replaced only
// after the question, and the build runs here on the user-interface thread,
// pumping messages between pictures so that Stop can be pressed.
#include "app/album/album_wizard_internal.h"
#include "app/album/core/album_build.h"
#include "app/album/slideshow_player.h"
#include "app/browser/browser_internal.h"
#include "app/resources/texts.h"
#include "app/shell/app_state.h"
#include "app/tools/output_pages.h"

namespace fotrix {

namespace {

constexpr const char* kTitle = "Fotrix Pocket";

std::string pageSection() { return std::string(kWizardSection) + "6"; }

bool isInput(UINT message)
{
    return (message >= WM_KEYFIRST && message <= WM_KEYLAST) || (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST);
}

// Runs what waits; of the input only what goes to the build page counts
// (Stop), and Escape stops the build.
void pump(AlbumWizardRun& run)
{
    HWND page = run.pages[kWizardPageCount - 1];
    MSG msg;
    while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            run.cancelled = true;
            return;
        }
        if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) {
            run.cancelled = true;
            continue;
        }
        if (isInput(msg.message) && msg.hwnd != page && !IsChild(page, msg.hwnd)) continue;
        TranslateMessage(&msg);
        DispatchMessage(&msg);
    }
}

BuildProgress progressOn(AlbumWizardRun& run)
{
    return [&run](const std::string& text, int index, int total) {
        HWND page = run.pages[kWizardPageCount - 1];
        SetDlgItemText(page, IdcAlStatus, text.c_str());
        if (index == 0) SendDlgItemMessage(page, IdcAlProgress, PBM_SETRANGE32, 0, total);
        SendDlgItemMessage(page, IdcAlProgress, PBM_SETPOS, static_cast<WPARAM>(index), 0);
        pump(run);
        return !run.cancelled;
    };
}

void setBuilding(AlbumWizardRun& run, bool building)
{
    HWND page = run.pages[kWizardPageCount - 1];
    EnableWindow(GetDlgItem(page, IdcCreate), !building);
    EnableWindow(GetDlgItem(page, IdcStop), building);
    EnableWindow(GetDlgItem(page, IdcAlProgress), building);
    EnableWizardButtons(run, !building);
}

void tell(HWND owner, const std::string& text) { MessageBox(owner, text.c_str(), kTitle, MB_OK | MB_ICONSTOP); }

}  // namespace

void CreateProduct(AlbumWizardRun& run)
{
    if (run.building) return;
    HWND page = run.pages[kWizardPageCount - 1];
    ReadWizardPages(run);
    BuildJob job;
    job.pictures = CheckedPictures(run);
    if (job.pictures.empty()) {
        SetDlgItemText(page, IdcAlStatus, ToolSectionText(pageSection().c_str(), "IDS_NO_PICTURES", "No pictures are chosen.").c_str());
        return;
    }
    const bool selfRunning = run.product == WizardProduct::SelfRunning;
    SlideshowSettings& settings = run.settings;
    settings.outputName = replaceExtension(settings.outputName.empty() ? "album" : settings.outputName,
                                           selfRunning ? ".run" : ".alb");
    if (HWND output = run.pages[4]) SetDlgItemText(output, IdcAlName, settings.outputName.c_str());
    const std::string path = buildOutputPath(settings);
    const bool existed = GetFileAttributes(path.c_str()) != INVALID_FILE_ATTRIBUTES;
    if (existed && MessageBox(run.frame, Tr(kIdsAlbumExists).c_str(), kTitle, MB_OKCANCEL | MB_ICONQUESTION) != IDOK)
        return;
    job.settings = settings;
    job.portraitScreen = GetSystemMetrics(SM_CXSCREEN) < GetSystemMetrics(SM_CYSCREEN);
    job.temporaryFolder = slideshowTemporaryRoot();
    job.progress = progressOn(run);
    run.cancelled = false;
    setBuilding(run, true);
    const BuildResult result = selfRunning ? selfRunningBuild(job, findSlideshowStub(), gApp.slideBackColor)
                                           : albumBuild(job);
    setBuilding(run, false);
    switch (result) {
    case BuildResult::Done: {
        const size_t slash = path.find_last_of('/');
        if (existed && slash != std::string::npos) RefreshFile(path.substr(0, slash + 1), path.substr(slash + 1));
        EndDialog(run.frame, IDOK);
        break;
    }
    case BuildResult::CannotCreate: tell(run.frame, "Can't create file"); break;
    case BuildResult::NoStub: tell(run.frame, "Can't find stub fotrix-slide"); break;
    case BuildResult::Stopped: SetDlgItemText(page, IdcAlStatus, ""); break;
    }
}

}  // namespace fotrix
