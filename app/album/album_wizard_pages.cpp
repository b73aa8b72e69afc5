// The seven pages of the album wizard ("DlgAlbum0" to "DlgAlbum6"): their
// templates, their texts from the language file, and how each shows and
// reads its part of the settings.
#include <algorithm>
#include <iterator>

#include "app/album/album_wizard_internal.h"
#include "app/browser/thumbnail_bitmap.h"
#include "app/browser/thumbnail_worker.h"
#include "app/language.h"
#include "app/resources/texts.h"
#include "app/tools/output_pages.h"
#include "app/tools/search_tool.h"
#include "imagelib/formats.h"
#include "platform/controls/listview.h"
#include "platform/controls/updown.h"
#include "platform/window/message_map.h"

namespace fotrix {

namespace {

constexpr DWORD kPageStyle = DWORD{WS_CHILD} | DS_CONTROL | DS_SETFONT;
constexpr DWORD kRadio = kToolStop | DWORD{BS_AUTORADIOBUTTON};
constexpr DWORD kSpin = kToolShown | DWORD{UDS_SETBUDDYINT} | DWORD{UDS_ALIGNRIGHT} | DWORD{UDS_ARROWKEYS};
constexpr int kThumbWidth = 36, kThumbHeight = 49;
constexpr UINT_PTR kFillTimer = 1;
constexpr int kDelayLow = 1, kDelayHigh = 60;

template <size_t N>
constexpr DialogTemplate pageTemplate(const char* title, const DialogItemTemplate (&items)[N])
{
    return {title, kPageStyle, 0, 0, 0, 240, 268, "Tahoma", 8, static_cast<int>(N), items};
}

LRESULT attach(HWND page, LPARAM lParam)
{
    SetWindowLongPtr(page, DWLP_USER, lParam);
    return TRUE;
}

std::string section(int page) { return std::string(kWizardSection) + std::to_string(page); }

std::vector<std::string> texts(std::initializer_list<TextId> ids)
{
    std::vector<std::string> out;
    for (TextId id : ids) out.push_back(Tr(id));
    return out;
}

bool checked(HWND page, int id) { return IsDlgButtonChecked(page, id) == BST_CHECKED; }
void check(HWND page, int id, int on) { CheckDlgButton(page, id, on ? BST_CHECKED : BST_UNCHECKED); }

// ---- Page 0: the source of the pictures ----

const DialogItemTemplate kSourceItems[] = {
    {WC_STATIC, IdcAlText1, "Take the pictures from:", 8, 10, 224, 16, kToolShown, 0},
    {WC_BUTTON, IdcAlSel1, "The files selected in the list", 8, 34, 224, 18, kRadio | DWORD{WS_GROUP}, 0},
    {WC_BUTTON, IdcAlSel2, "All files of the current folder", 8, 58, 224, 18, kRadio, 0},
    {WC_BUTTON, IdcAlSel3, "The folder and its sub-folders", 8, 82, 224, 18, kRadio, 0},
};
const DialogTemplate kSource = pageTemplate("DlgAlbum0", kSourceItems);
constexpr ToolLabel kSourceLabels[] = {
    {IdcAlText1, "IDC_AL_TEXT1"}, {IdcAlSel1, "IDC_AL_SEL1"}, {IdcAlSel2, "IDC_AL_SEL2"}, {IdcAlSel3, "IDC_AL_SEL3"}};

LRESULT sourceInit(HWND page, UINT, WPARAM, LPARAM lParam)
{
    attach(page, lParam);
    AlbumWizardRun& run = WizardRun(page);
    RelabelToolPage(page, section(0).c_str(), kSourceLabels);
    EnableWindow(GetDlgItem(page, IdcAlSel1), !run.selected.empty());
    check(page, IdcAlSel1 + run.source, 1);
    return TRUE;
}

constexpr MessageEntry kSourceMessages[] = {{WM_INITDIALOG, sourceInit}};
constexpr MessageMap kSourceMap = makeMessageMap(kSourceMessages, DefaultProcNone);

// ---- Page 1: the pictures that take part ----

const DialogItemTemplate kPictureItems[] = {
    {WC_BUTTON, IdcSelectAll, "All", 8, 6, 108, 22, kToolButton, 0},
    {WC_BUTTON, IdcSelectNone, "None", 124, 6, 108, 22, kToolButton, 0},
    {WC_LISTVIEW, IdcAlPictures, "", 0, 34, 240, 234, kToolStop | DWORD{WS_BORDER} | DWORD{LVS_ICON} | DWORD{LVS_AUTOARRANGE}, 0},
};
const DialogTemplate kPictures = pageTemplate("DlgAlbum1", kPictureItems);
constexpr ToolLabel kPictureLabels[] = {{IdcSelectAll, "IDC_SELECTALL"}, {IdcSelectNone, "IDC_SELECTNONE"}};

HIMAGELIST listImages(HWND list)
{
    return reinterpret_cast<HIMAGELIST>(SendMessage(list, LVM_GETIMAGELIST, LVSIL_NORMAL, 0));
}

HWND pictureList(AlbumWizardRun& run) { return run.pages[1] ? GetDlgItem(run.pages[1], IdcAlPictures) : nullptr; }

bool isPicture(const std::string& path)
{
    DWORD attributes = GetFileAttributes(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY) &&
           extensionIsKnown(path);
}

// The files of the chosen source, folders left out.
std::vector<std::string> sourceFiles(const AlbumWizardRun& run)
{
    std::vector<std::string> files;
    if (run.source == SourceSelected) files = run.selected;
    else {
        SearchCriteria criteria;
        criteria.folder = run.folder;
        criteria.subFolders = run.source == SourceSearch;
        files = SearchFiles(criteria);
    }
    std::erase_if(files, [](const std::string& path) { return !isPicture(path); });
    return files;
}

// A thumbnail centred in a white cell of the list's image size.
HBITMAP cellBitmap(HBITMAP thumbnail, int width, int height)
{
    HDC screen = GetDC(nullptr);
    HDC cellDc = CreateCompatibleDC(screen), thumbDc = CreateCompatibleDC(screen);
    HBITMAP cell = CreateCompatibleBitmap(screen, kThumbWidth, kThumbHeight);
    HGDIOBJ oldCell = SelectObject(cellDc, cell), oldThumb = SelectObject(thumbDc, thumbnail);
    RECT all{0, 0, kThumbWidth, kThumbHeight};
    FillRect(cellDc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    BitBlt(cellDc, (kThumbWidth - width) / 2, (kThumbHeight - height) / 2, width, height, thumbDc, 0, 0, SRCCOPY);
    SelectObject(cellDc, oldCell);
    SelectObject(thumbDc, oldThumb);
    DeleteDC(cellDc);
    DeleteDC(thumbDc);
    ReleaseDC(nullptr, screen);
    return cell;
}

// One thumbnail a tick, so the list shows at once and fills in behind.
LRESULT picturesTimer(HWND page, UINT, WPARAM wParam, LPARAM)
{
    AlbumWizardRun& run = WizardRun(page);
    if (wParam != kFillTimer) return FALSE;
    if (run.thumbnailsMade >= run.candidates.size()) {
        KillTimer(page, kFillTimer);
        return TRUE;
    }
    size_t index = run.thumbnailsMade++;
    HBITMAP thumbnail = nullptr;
    int width = 0, height = 0;
    FileInfo info{};
    if (LoadThumbnail(run.candidates[index], kThumbWidth, kThumbHeight, false, nullptr, nullptr, &thumbnail, &width,
                      &height, &info) == 0 && thumbnail) {
        HWND list = pictureList(run);
        HBITMAP cell = cellBitmap(thumbnail, width, height);
        int image = ImageList_Add(listImages(list), cell, nullptr);
        DeleteObject(cell);
        LVITEM item{};
        item.mask = LVIF_IMAGE;
        item.iItem = static_cast<int>(index);
        item.iImage = image;
        ListView_SetItem(list, &item);
    }
    if (thumbnail) DeleteObject(thumbnail);
    freeFileInfo(info);
    return TRUE;
}

void setAllChecks(HWND page, bool on)
{
    HWND list = GetDlgItem(page, IdcAlPictures);
    for (int i = 0; i < ListView_GetItemCount(list); ++i) ListView_SetCheckState(list, i, on);
}

LRESULT picturesInit(HWND page, UINT, WPARAM, LPARAM lParam)
{
    attach(page, lParam);
    RelabelToolPage(page, section(1).c_str(), kPictureLabels);
    HWND list = GetDlgItem(page, IdcAlPictures);
    ListView_SetExtendedListViewStyle(list, LVS_EX_CHECKBOXES);
    HIMAGELIST images = ImageList_Create(kThumbWidth, kThumbHeight, ILC_COLOR24, 16, 16);
    ListView_SetImageList(list, images, LVSIL_NORMAL);
    return TRUE;
}

LRESULT picturesDestroy(HWND page, UINT, WPARAM, LPARAM)
{
    KillTimer(page, kFillTimer);
    if (HIMAGELIST images = listImages(GetDlgItem(page, IdcAlPictures))) ImageList_Destroy(images);
    return FALSE;
}

LRESULT selectAll(HWND page, WORD, WORD, LPARAM)
{
    setAllChecks(page, true);
    return TRUE;
}

LRESULT selectNone(HWND page, WORD, WORD, LPARAM)
{
    setAllChecks(page, false);
    return TRUE;
}

constexpr CommandEntry kPictureCommands[] = {{IdcSelectAll, selectAll}, {IdcSelectNone, selectNone}};
constexpr CommandMap kPictureCommandMap = makeCommandMap(kPictureCommands, DefaultProcNone);

constexpr MessageEntry kPictureMessages[] = {{WM_INITDIALOG, picturesInit},
                                             {WM_COMMAND, CommandMapProc<kPictureCommandMap>},
                                             {WM_TIMER, picturesTimer},
                                             {WM_DESTROY, picturesDestroy}};
constexpr MessageMap kPictureMap = makeMessageMap(kPictureMessages, DefaultProcNone);

// ---- Page 2: preparing the pictures ----

const DialogItemTemplate kPrepareItems[] = {
    {WC_STATIC, IdcAlText1, "Size:", 8, 12, 80, 16, kToolShown, 0},
    {WC_COMBOBOX, IdcAlSize, "", 92, 8, 140, 120, kToolDropList, 0},
    {WC_BUTTON, IdcFitAll, "Enlarge smaller pictures too", 8, 36, 224, 18, kToolCheck, 0},
    {WC_STATIC, IdcAlText3, "Turn:", 8, 68, 80, 16, kToolShown, 0},
    {WC_COMBOBOX, IdcAlRotate, "", 92, 64, 140, 80, kToolDropList, 0},
    {WC_STATIC, IdcAlText4, "Levels:", 8, 100, 80, 16, kToolShown, 0},
    {WC_COMBOBOX, IdcAlLevels, "", 92, 96, 140, 60, kToolDropList, 0},
};
const DialogTemplate kPrepare = pageTemplate("DlgAlbum2", kPrepareItems);
constexpr ToolLabel kPrepareLabels[] = {
    {IdcAlText1, "IDC_AL_TEXT1"}, {IdcAlText3, "IDC_AL_TEXT3"}, {IdcAlText4, "IDC_AL_TEXT4"}, {IdcFitAll, "IDC_FITALL"}};

LRESULT prepareInit(HWND page, UINT, WPARAM, LPARAM lParam)
{
    attach(page, lParam);
    const SlideshowSettings& s = WizardRun(page).settings;
    RelabelToolPage(page, section(2).c_str(), kPrepareLabels);
    FillToolCombo(page, IdcAlSize, texts({kIdsOriginalSize, kIds240_180, kIds320_240, kIds640_480, kIds800_600, kIds1024_768}),
                  std::clamp(s.size, 0, 5));
    FillToolCombo(page, IdcAlRotate, texts({kIdsNoRotate, kIdsRotateLeft, kIdsRotateRight}), std::clamp(s.rotate, 0, 2));
    FillToolCombo(page, IdcAlLevels, texts({kIdsNoBrightness, kIdsAutoBrightness}), s.autoLevels ? 1 : 0);
    check(page, IdcFitAll, s.fit);
    return TRUE;
}

constexpr MessageEntry kPrepareMessages[] = {{WM_INITDIALOG, prepareInit}};
constexpr MessageMap kPrepareMap = makeMessageMap(kPrepareMessages, DefaultProcNone);

// ---- Page 3: the show ----

const DialogItemTemplate kShowItems[] = {
    {WC_STATIC, IdcTDelay, "Next picture after", 8, 11, 112, 16, kToolShown, 0},
    {WC_EDIT, IdcAlDelay, "", 122, 8, 48, 20, kToolEdit | DWORD{ES_NUMBER}, 0},
    {UPDOWN_CLASS, IdcAlDelaySpin, "", 170, 8, 16, 20, kSpin, 0},
    {WC_STATIC, IdcTSeconds, "seconds", 180, 11, 52, 16, kToolShown, 0},
    {WC_BUTTON, IdcUseTransition, "Transitions between pictures", 8, 38, 224, 18, kToolCheck, 0},
    {WC_BUTTON, IdcLoop, "Start again after the last", 8, 60, 224, 18, kToolCheck, 0},
    {WC_BUTTON, IdcUseSoundFile, "Play a sound:", 8, 90, 224, 18, kToolCheck, 0},
    {WC_EDIT, IdcAlSoundFile, "", 8, 112, 196, 20, kToolEdit, 0},
    {WC_BUTTON, IdcAlSoundBrowse, "...", 208, 112, 24, 20, kToolButton, 0},
};
const DialogTemplate kShow = pageTemplate("DlgAlbum3", kShowItems);
constexpr ToolLabel kShowLabels[] = {{IdcTDelay, "IDC_TDELAY"},
                                     {IdcTSeconds, "IDC_TSECONDS"},
                                     {IdcUseSoundFile, "IDC_USESOUNDFILE"},
                                     {IdcUseTransition, "IDC_USETRANSITION"},
                                     {IdcLoop, "IDC_LOOP"}};

LRESULT showInit(HWND page, UINT, WPARAM, LPARAM lParam)
{
    attach(page, lParam);
    const SlideshowSettings& s = WizardRun(page).settings;
    RelabelToolPage(page, section(3).c_str(), kShowLabels);
    HWND spin = GetDlgItem(page, IdcAlDelaySpin);
    SendMessage(spin, UDM_SETBUDDY, reinterpret_cast<WPARAM>(GetDlgItem(page, IdcAlDelay)), 0);
    SendMessage(spin, UDM_SETRANGE32, kDelayLow, kDelayHigh);
    SendMessage(spin, UDM_SETPOS32, 0, std::clamp(s.delay, kDelayLow, kDelayHigh));
    check(page, IdcUseTransition, s.transitions);
    check(page, IdcLoop, s.loop);
    check(page, IdcUseSoundFile, s.audio);
    SetDlgItemText(page, IdcAlSoundFile, s.soundPath.c_str());
    return TRUE;
}

// The system's file-open dialog over the sound kinds.
LRESULT browseSound(HWND page, WORD, WORD, LPARAM)
{
    std::string filter = Tr(kIdsSoundFilename);
    filter.push_back('\0');
    filter += "*.wav;*.mp3;*.wma;*.ogg";
    filter.append(2, '\0');
    char path[MAX_PATH] = "";
    std::string shown = ToolItemText(page, IdcAlSoundFile);
    if (shown.size() < sizeof path) shown.copy(path, shown.size());
    OPENFILENAME ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = GetParent(page);
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = path;
    ofn.nMaxFile = sizeof path;
    ofn.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    if (!GetOpenFileName(&ofn)) return TRUE;
    SetDlgItemText(page, IdcAlSoundFile, path);
    check(page, IdcUseSoundFile, 1);
    return TRUE;
}

constexpr CommandEntry kShowCommands[] = {{IdcAlSoundBrowse, browseSound}};
constexpr CommandMap kShowCommandMap = makeCommandMap(kShowCommands, DefaultProcNone);

constexpr MessageEntry kShowMessages[] = {{WM_INITDIALOG, showInit},
                                          {WM_COMMAND, CommandMapProc<kShowCommandMap>}};
constexpr MessageMap kShowMap = makeMessageMap(kShowMessages, DefaultProcNone);

// ---- Page 4: where the product goes ----

const DialogItemTemplate kOutputItems[] = {
    {WC_STATIC, IdcSelectText, "Folder:", 8, 10, 224, 16, kToolShown, 0},
    {WC_EDIT, IdcAlFolder, "", 8, 28, 196, 20, kToolEdit, 0},
    {WC_BUTTON, IdcAlFolderBrowse, "...", 208, 28, 24, 20, kToolButton, 0},
    {WC_STATIC, IdcAlText, "File name:", 8, 60, 224, 16, kToolShown, 0},
    {WC_EDIT, IdcAlName, "", 8, 78, 224, 20, kToolEdit, 0},
};
const DialogTemplate kOutput = pageTemplate("DlgAlbum4", kOutputItems);
constexpr ToolLabel kOutputLabels[] = {{IdcSelectText, "IDC_SELECT_TEXT"}, {IdcAlText, "IDC_AL_TEXT"}};

LRESULT outputInit(HWND page, UINT, WPARAM, LPARAM lParam)
{
    attach(page, lParam);
    const SlideshowSettings& s = WizardRun(page).settings;
    RelabelToolPage(page, section(4).c_str(), kOutputLabels);
    SetDlgItemText(page, IdcAlFolder, s.outputDir.c_str());
    SetDlgItemText(page, IdcAlName, s.outputName.c_str());
    return TRUE;
}

LRESULT browseFolder(HWND page, WORD, WORD, LPARAM)
{
    char folder[MAX_PATH] = "";
    std::string shown = ToolItemText(page, IdcAlFolder);
    if (shown.size() < sizeof folder) shown.copy(folder, shown.size());
    if (ChooseFolder(GetParent(page), Tr(kIdsAlbum).c_str(), folder, sizeof folder, CHOOSEFOLDER_NEWFOLDER))
        SetDlgItemText(page, IdcAlFolder, folder);
    return TRUE;
}

constexpr CommandEntry kOutputCommands[] = {{IdcAlFolderBrowse, browseFolder}};
constexpr CommandMap kOutputCommandMap = makeCommandMap(kOutputCommands, DefaultProcNone);

constexpr MessageEntry kOutputMessages[] = {{WM_INITDIALOG, outputInit},
                                          {WM_COMMAND, CommandMapProc<kOutputCommandMap>}};
constexpr MessageMap kOutputMap = makeMessageMap(kOutputMessages, DefaultProcNone);

// ---- Page 5: JPEG quality ----

const DialogItemTemplate kQualityItems[] = {
    {WC_STATIC, IdcJpegText, "JPEG quality of the pictures:", 8, 10, 224, 16, kToolShown, 0},
    {TRACKBAR_CLASS, IdcAlQuality, "", 8, 32, 184, 26, kToolStop | DWORD{TBS_HORZ} | DWORD{TBS_NOTICKS}, 0},
    {WC_STATIC, IdcAlQualityValue, "", 196, 36, 36, 16, kToolShown, 0},
    {WC_STATIC, IdcJpegText1, "Smaller files", 8, 62, 110, 16, kToolShown, 0},
    {WC_STATIC, IdcJpegText2, "Better pictures", 120, 62, 112, 16, kToolShown | DWORD{SS_RIGHT}, 0},
};
const DialogTemplate kQuality = pageTemplate("DlgAlbum5", kQualityItems);
constexpr ToolLabel kQualityLabels[] = {
    {IdcJpegText, "IDC_JPEG_TEXT"}, {IdcJpegText1, "IDC_JPEGTEXT1"}, {IdcJpegText2, "IDC_JPEGTEXT2"}};

void showQuality(HWND page)
{
    SetDlgItemInt(page, IdcAlQualityValue, static_cast<UINT>(SendDlgItemMessage(page, IdcAlQuality, TBM_GETPOS, 0, 0)), FALSE);
}

LRESULT qualityInit(HWND page, UINT, WPARAM, LPARAM lParam)
{
    attach(page, lParam);
    RelabelToolPage(page, section(5).c_str(), kQualityLabels);
    HWND slider = GetDlgItem(page, IdcAlQuality);
    SendMessage(slider, TBM_SETRANGEMIN, FALSE, 1);
    SendMessage(slider, TBM_SETRANGEMAX, FALSE, 100);
    SendMessage(slider, TBM_SETPOS, TRUE, std::clamp(WizardRun(page).settings.jpegQuality, 1, 100));
    showQuality(page);
    return TRUE;
}

LRESULT qualityScroll(HWND page, UINT, WPARAM, LPARAM)
{
    showQuality(page);
    return TRUE;
}

constexpr MessageEntry kQualityMessages[] = {{WM_INITDIALOG, qualityInit}, {WM_HSCROLL, qualityScroll}};
constexpr MessageMap kQualityMap = makeMessageMap(kQualityMessages, DefaultProcNone);

// ---- Page 6: the build ----

const DialogItemTemplate kBuildItems[] = {
    {WC_BUTTON, IdcCreate, "Create", 8, 10, 108, 24, kToolButton, 0},
    {WC_BUTTON, IdcStop, "Stop", 124, 10, 108, 24, kToolButton | DWORD{WS_DISABLED}, 0},
    {WC_STATIC, IdcAlStatus, "", 8, 46, 224, 32, kToolShown, 0},
    {PROGRESS_CLASS, IdcAlProgress, "", 8, 82, 224, 16, kToolShown | DWORD{WS_DISABLED}, 0},
};
const DialogTemplate kBuild = pageTemplate("DlgAlbum6", kBuildItems);
constexpr ToolLabel kBuildLabels[] = {{IdcCreate, "IDC_CREATE"}, {IdcStop, "IDC_STOP"}};

LRESULT buildInit(HWND page, UINT, WPARAM, LPARAM lParam)
{
    attach(page, lParam);
    RelabelToolPage(page, section(6).c_str(), kBuildLabels);
    return TRUE;
}

LRESULT onCreate(HWND page, WORD, WORD, LPARAM)
{
    CreateProduct(WizardRun(page));
    return TRUE;
}

LRESULT onStop(HWND page, WORD, WORD, LPARAM)
{
    WizardRun(page).cancelled = true;
    return TRUE;
}

constexpr CommandEntry kBuildCommands[] = {{IdcCreate, onCreate}, {IdcStop, onStop}};
constexpr CommandMap kBuildCommandMap = makeCommandMap(kBuildCommands, DefaultProcNone);

constexpr MessageEntry kBuildMessages[] = {{WM_INITDIALOG, buildInit},
                                          {WM_COMMAND, CommandMapProc<kBuildCommandMap>}};
constexpr MessageMap kBuildMap = makeMessageMap(kBuildMessages, DefaultProcNone);

const WizardPage kPages[kWizardPageCount] = {
    {&kSource, MessageMapProc<kSourceMap>},   {&kPictures, MessageMapProc<kPictureMap>},
    {&kPrepare, MessageMapProc<kPrepareMap>}, {&kShow, MessageMapProc<kShowMap>},
    {&kOutput, MessageMapProc<kOutputMap>},   {&kQuality, MessageMapProc<kQualityMap>},
    {&kBuild, MessageMapProc<kBuildMap>},
};

}  // namespace

const WizardPage& WizardPageAt(int index) { return kPages[index]; }

void FillPictureList(AlbumWizardRun& run)
{
    HWND list = pictureList(run);
    if (!list || ListView_GetItemCount(list) > 0) return;
    run.candidates = sourceFiles(run);
    run.thumbnailsMade = 0;
    for (size_t i = 0; i < run.candidates.size(); ++i) {
        const std::string& path = run.candidates[i];
        std::string name = path.substr(path.find_last_of('/') + 1);
        LVITEM item{};
        item.mask = LVIF_TEXT | LVIF_IMAGE;
        item.iItem = static_cast<int>(i);
        item.iImage = -1;
        item.pszText = name.data();
        ListView_InsertItem(list, &item);
        ListView_SetCheckState(list, static_cast<int>(i), TRUE);
    }
    if (!run.candidates.empty()) SetTimer(run.pages[1], kFillTimer, 10, nullptr);
}

void ClearPictureList(AlbumWizardRun& run)
{
    run.candidates.clear();
    run.thumbnailsMade = 0;
    if (HWND list = pictureList(run)) {
        KillTimer(run.pages[1], kFillTimer);
        ListView_DeleteAllItems(list);
        ImageList_RemoveAll(listImages(list));
    }
}

std::vector<std::string> CheckedPictures(AlbumWizardRun& run)
{
    std::vector<std::string> pictures;
    HWND list = pictureList(run);
    if (!list) return sourceFiles(run);  // the list was never shown: every picture takes part
    for (size_t i = 0; i < run.candidates.size(); ++i)
        if (ListView_GetCheckState(list, static_cast<int>(i))) pictures.push_back(run.candidates[i]);
    return pictures;
}

void ReadWizardPages(AlbumWizardRun& run)
{
    SlideshowSettings& s = run.settings;
    if (HWND page = run.pages[0])
        for (int source : {SourceSelected, SourceFolder, SourceSearch})
            if (checked(page, IdcAlSel1 + source)) run.source = source;
    if (HWND page = run.pages[2]) {
        s.size = ToolComboChoice(page, IdcAlSize, s.size);
        s.rotate = ToolComboChoice(page, IdcAlRotate, s.rotate);
        s.autoLevels = ToolComboChoice(page, IdcAlLevels, s.autoLevels);
        s.fit = checked(page, IdcFitAll);
    }
    if (HWND page = run.pages[3]) {
        BOOL number = FALSE;
        int delay = static_cast<int>(GetDlgItemInt(page, IdcAlDelay, &number, FALSE));
        if (number) s.delay = std::clamp(delay, kDelayLow, kDelayHigh);
        s.transitions = checked(page, IdcUseTransition);
        s.loop = checked(page, IdcLoop);
        s.audio = checked(page, IdcUseSoundFile);
        s.soundPath = ToolItemText(page, IdcAlSoundFile);
    }
    if (HWND page = run.pages[4]) {
        s.outputDir = ToolItemText(page, IdcAlFolder);
        if (!s.outputDir.empty() && s.outputDir.back() != '/') s.outputDir += '/';
        s.outputName = ToolItemText(page, IdcAlName);
    }
    if (HWND page = run.pages[5])
        s.jpegQuality = std::clamp(static_cast<int>(SendDlgItemMessage(page, IdcAlQuality, TBM_GETPOS, 0, 0)), 1, 100);
}

}  // namespace fotrix
