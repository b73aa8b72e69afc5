// The IPTC editor sheet: every page shows the shared record when it becomes
// active and puts its fields back when it is left or the sheet is closed
// with OK; the first page also holds the template buttons and Clear.
#include "app/properties/iptc_editor.h"

#include "app/browser/file_texts.h"
#include "app/language.h"
#include "app/properties/iptc_pages.h"
#include "app/properties/iptc_template_dialog.h"
#include "app/properties/property_rows.h"
#include "app/resources/texts.h"
#include "imagelib/load.h"
#include "metadata/jpeg_segments.h"

#include <cctype>
#include <cstdio>
#include <cstring>

namespace fotrix {

namespace {

constexpr const char* kProgram = "Fotrix Pocket";
constexpr int kProgramDataset = 65;

struct PageBinding;

struct Session {
    std::vector<std::string> paths;
    IptcRecord record;
    std::string infoLines[6];
    std::vector<PageBinding>* bindings = nullptr;
};

struct PageBinding {
    Session* session;
    size_t index;
    HWND page;
};

Session* gEditor = nullptr;  // the open editor's, for the script's state

PageBinding& bindingOf(HWND page) { return *reinterpret_cast<PageBinding*>(GetWindowLongPtr(page, DWLP_USER)); }
const IptcPageLayout& specOf(HWND page) { return IptcPages()[bindingOf(page).index]; }
IptcRecord& recordOf(HWND page) { return bindingOf(page).session->record; }

// The editor starts from the IPTC of the first picture that has one.
void readFirstRecord(Session& s)
{
    for (const std::string& path : s.paths) {
        MetadataBlock* metadata = nullptr;
        if (metadataReadFile(path, metadata) != 0) continue;
        bool found = iptcRead(metadata, s.record) == 1;
        metadataFreeList(metadata);
        if (found) return;
    }
    s.record = IptcRecord{};
}

void describeFirst(Session& s)
{
    const std::string& path = s.paths.front();
    FileInfo info{};
    bool known = getFileInfo(path, -1, 0, info) == 0;
    char pixels[64] = "";
    std::snprintf(pixels, sizeof pixels, "%d x %d", info.width, info.height);
    int bits = info.bitsPerComponent * std::max<int>(1, info.componentCount);
    s.infoLines[0] = DisplayName(path, true);
    s.infoLines[1] = known ? TypeText(info) : "";
    s.infoLines[2] = known ? pixels : "";
    s.infoLines[3] = known ? std::to_string(bits) + " bits" : "";
    s.infoLines[4] = known ? SizeText(info.fileSize) : "";
    s.infoLines[5] = std::to_string(s.paths.size()) + " file(s)";
    freeFileInfo(info);
}

void relabel(HWND page, const IptcPageLayout& layout)
{
    BeginDialogSection(layout.section);
    for (const IptcField& f : layout.fields) SetDlgItemTr(page, kLabelBase + f.dataset, f.key);
    if (layout.list.dataset) {
        SetDlgItemTr(page, IdcIptcAdd, layout.list.addKey);
        SetDlgItemTr(page, IdcIptcDelete, layout.list.deleteKey);
        if (layout.list.labelKey) SetDlgItemTr(page, IdcListLabel, layout.list.labelKey);
    }
    static const struct {
        int id;
        const char* key;
    } kButtons[] = {{IdcTemplateLoad, "IDC_LOAD"}, {IdcTemplateSave, "IDC_SAVE"}, {IdcClear, "IDC_CLEAR"},
                    {IdcToday, "IDC_TODAY"}};
    for (const auto& b : kButtons) SetDlgItemTr(page, b.id, b.key);
}

void showInfo(HWND page)
{
    static const char* const kKeys[6] = {"IDC_TFILENAME", "IDC_TTYPE", "IDC_TDIM", "IDC_TDEPTH", "IDC_TPIXELS",
                                         "IDC_TINFO"};
    Session& s = *bindingOf(page).session;
    for (int i = 0; i < 6; ++i) {
        SetDlgItemText(page, IdcInfoFirst + i, s.infoLines[i].c_str());
        SetDlgItemTr(page, IdcInfoFirst + i, kKeys[i]);
        // A language text is a label: the value follows it.
        std::string label(256, '\0');
        int n = GetDlgItemText(page, IdcInfoFirst + i, label.data(), 256);
        label.resize(static_cast<size_t>(n > 0 ? n : 0));
        if (label != s.infoLines[i]) SetDlgItemText(page, IdcInfoFirst + i, (label + " " + s.infoLines[i]).c_str());
    }
}

LRESULT onInitDialog(HWND page, UINT, WPARAM, LPARAM lParam)
{
    auto* binding = reinterpret_cast<PageBinding*>(reinterpret_cast<PROPSHEETPAGE*>(lParam)->lParam);
    SetWindowLongPtr(page, DWLP_USER, reinterpret_cast<LONG_PTR>(binding));
    binding->page = page;
    relabel(page, specOf(page));
    if (binding->index == 0) showInfo(page);
    LoadIptcPage(page, specOf(page), recordOf(page));
    return TRUE;
}

LRESULT onNotify(HWND page, UINT, WPARAM, LPARAM lParam)
{
    auto* notify = reinterpret_cast<NMHDR*>(lParam);
    // Pages left earlier stored their fields then; only the shown page's
    // fields are newer than the record (Clear or a template may have changed it since).
    bool shown = reinterpret_cast<HWND>(SendMessage(GetParent(page), PSM_GETCURRENTPAGEHWND, 0, 0)) == page;
    if (notify->code == PSN_SETACTIVE) LoadIptcPage(page, specOf(page), recordOf(page));
    else if (notify->code == PSN_KILLACTIVE || (notify->code == PSN_APPLY && shown))
        StoreIptcPage(page, specOf(page), recordOf(page));
    else if (notify->code != PSN_APPLY) return FALSE;
    SetWindowLongPtr(page, DWLP_MSGRESULT, notify->code == PSN_APPLY ? PSNRET_NOERROR : FALSE);
    return TRUE;
}

std::string itemText(HWND page)
{
    char text[256] = "";
    GetDlgItemText(page, IdcIptcItem, text, sizeof text);
    return text;
}

LRESULT onAdd(HWND page, WORD, WORD code, LPARAM)
{
    if (code != BN_CLICKED) return TRUE;
    const IptcListSpec& list = specOf(page).list;
    std::string text = CutToBytes(itemText(page), static_cast<size_t>(list.limit));
    if (text.empty()) return TRUE;
    SendDlgItemMessage(page, IdcIptcList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    SetDlgItemText(page, IdcIptcItem, "");
    return TRUE;
}

LRESULT onDelete(HWND page, WORD, WORD code, LPARAM)
{
    if (code != BN_CLICKED) return TRUE;
    LRESULT at = SendDlgItemMessage(page, IdcIptcList, LB_GETCURSEL, 0, 0);
    if (at >= 0) SendDlgItemMessage(page, IdcIptcList, LB_DELETESTRING, static_cast<WPARAM>(at), 0);
    return TRUE;
}

LRESULT onToday(HWND page, WORD, WORD code, LPARAM)
{
    if (code != BN_CLICKED) return TRUE;
    SYSTEMTIME now{};
    GetLocalTime(&now);
    char date[16];
    std::snprintf(date, sizeof date, "%04d%02d%02d", now.wYear % 10000, now.wMonth % 100, now.wDay % 100);
    SetDlgItemText(page, kFieldBase + 55, date);
    return TRUE;
}

LRESULT onClear(HWND page, WORD, WORD code, LPARAM)
{
    if (code == BN_CLICKED) recordOf(page) = IptcRecord{};
    return TRUE;
}

LRESULT onTemplates(HWND page, WORD id, WORD code, LPARAM)
{
    if (code == BN_CLICKED) RunIptcTemplateDialog(page, recordOf(page), id == IdcTemplateSave);
    return TRUE;
}

constexpr CommandEntry kCommands[] = {
    {IdcIptcAdd, onAdd},          {IdcIptcDelete, onDelete},       {IdcToday, onToday},
    {IdcClear, onClear},          {IdcTemplateLoad, onTemplates}, {IdcTemplateSave, onTemplates},
};
constexpr CommandMap kCommandMap = makeCommandMap(kCommands, DefaultProcNone);

constexpr MessageEntry kMessages[] = {
    {WM_INITDIALOG, onInitDialog},
    {WM_NOTIFY, onNotify},
    {WM_COMMAND, CommandMapProc<kCommandMap>},
};
constexpr MessageMap kMessageMap = makeMessageMap(kMessages, DefaultProcNone);

INT_PTR procedure(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DispatchMessageMap(&kMessageMap, page, message, wParam, lParam);
}

bool runSheet(HWND owner, Session& session)
{
    size_t count = IptcPages().size();
    std::vector<PageBinding> bindings(count);
    std::vector<PROPSHEETPAGE> pages(count);
    session.bindings = &bindings;
    for (size_t i = 0; i < count; ++i) {
        bindings[i] = {&session, i, nullptr};
        pages[i] = PROPSHEETPAGE{sizeof(PROPSHEETPAGE), PSP_DLGINDIRECT | PSP_USETITLE, nullptr, nullptr,
                                 IptcPageTemplate(i), nullptr, IptcPages()[i].title, procedure,
                                 reinterpret_cast<LPARAM>(&bindings[i]), nullptr, nullptr};
    }
    PROPSHEETHEADER header{sizeof(PROPSHEETHEADER), PSH_PROPSHEETPAGE | PSH_NOAPPLYNOW, owner, nullptr, nullptr,
                           "IPTC", static_cast<UINT>(count), 0, pages.data(), nullptr, nullptr};
    Session* outer = gEditor;
    gEditor = &session;
    bool done = PropertySheet(&header) == 1;
    gEditor = outer;
    session.bindings = nullptr;
    return done;
}

const PageBinding* shownPage()
{
    if (!gEditor || !gEditor->bindings) return nullptr;
    for (const PageBinding& b : *gEditor->bindings)
        if (b.page && IsWindow(b.page) && IsWindowVisible(b.page)) return &b;
    return nullptr;
}

std::string controlText(HWND page, int id)
{
    HWND control = GetDlgItem(page, id);
    if (!control) return "";
    std::string text(static_cast<size_t>(GetWindowTextLength(control)) + 1, '\0');
    int n = GetWindowText(control, text.data(), static_cast<int>(text.size()));
    text.resize(static_cast<size_t>(n > 0 ? n : 0));
    return text;
}

std::string listItem(HWND list, UINT getLength, UINT getText, int index)
{
    LRESULT length = SendMessage(list, getLength, static_cast<WPARAM>(index), 0);
    if (length < 0) return "";
    std::string text(static_cast<size_t>(length) + 1, '\0');
    SendMessage(list, getText, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(std::strlen(text.c_str()));
    return text;
}

}  // namespace

std::string IptcEditorSheetName() { return gEditor ? "iptc" : ""; }

std::string IptcEditorPageTitle()
{
    const PageBinding* b = shownPage();
    return b ? IptcPages()[b->index].title : "";
}

void WriteIptcEditorState(std::string& out)
{
    const PageBinding* b = shownPage();
    if (!b) return;
    HWND page = b->page;
    const IptcPageLayout& layout = IptcPages()[b->index];
    if (b->index == 0)
        for (int i = 0; i < 6; ++i) out += "row: " + StateLineText(controlText(page, IdcInfoFirst + i)) + " | \n";
    for (const IptcField& f : layout.fields) {
        std::string value = controlText(page, kFieldBase + f.dataset);
        if (f.dataset == 10) {  // the urgency list shows its chosen entry
            HWND combo = GetDlgItem(page, IdcPriority);
            LRESULT at = SendMessage(combo, CB_GETCURSEL, 0, 0);
            value = at >= 0 ? listItem(combo, CB_GETLBTEXTLEN, CB_GETLBTEXT, static_cast<int>(at)) : "";
        }
        out += "row: " + StateLineText(controlText(page, kLabelBase + f.dataset)) + " | " + StateLineText(value) + "\n";
    }
    if (!layout.list.dataset) return;
    HWND list = GetDlgItem(page, IdcIptcList);
    for (int i = 0, n = static_cast<int>(SendMessage(list, LB_GETCOUNT, 0, 0)); i < n; ++i)
        out += std::string("row: ") + layout.title + " | " + StateLineText(listItem(list, LB_GETTEXTLEN, LB_GETTEXT, i)) + "\n";
}

bool IsJpegPath(const std::string& path)
{
    size_t dot = path.rfind('.');
    if (dot == std::string::npos || path.find('/', dot) != std::string::npos) return false;
    std::string ext = path.substr(dot + 1);
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext == "jpg" || ext == "jpeg" || ext == "jpe";
}

std::vector<std::string> WriteIptcToPictures(const std::vector<std::string>& paths, IptcRecord& record)
{
    if (record.slots[kProgramDataset].empty()) record.slots[kProgramDataset] = kProgram;
    std::vector<std::string> failed;
    for (const std::string& path : paths)
        if (IsJpegPath(path) && iptcWriteJpeg(path.c_str(), record) != 0) failed.push_back(path);
    return failed;
}

void ShowIptcEditor(HWND owner, const std::vector<std::string>& paths)
{
    if (paths.empty()) return;
    Session session;
    session.paths = paths;
    readFirstRecord(session);
    describeFirst(session);
    if (!runSheet(owner, session)) return;
    if (MessageBox(owner, Tr(kIdsIptcQuestion).c_str(), "IPTC", MB_OKCANCEL | MB_ICONQUESTION) != IDOK) return;
    if (!WriteIptcToPictures(paths, session.record).empty())
        MessageBox(owner, Tr(kIdsProblemSaving).c_str(), "IPTC", MB_OK | MB_ICONSTOP);
}

}  // namespace fotrix
