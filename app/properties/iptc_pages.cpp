// The IPTC editor's pages: their tables, templates made from them, and the
// moves of field texts to and from the record.
#include "app/properties/iptc_pages.h"

#include "app/resources/texts.h"

#include <cstring>

namespace fotrix {

namespace {

constexpr int kUrgency = 10;
constexpr int kDateCreated = 55;
constexpr int kUrgencyLevels = 9;

constexpr DWORD kShown = WS_VISIBLE;
constexpr DWORD kStop = WS_VISIBLE | WS_TABSTOP;
constexpr DWORD kEdit = kStop | DWORD{WS_BORDER} | DWORD{ES_AUTOHSCROLL};
// Caption and instructions: lines that wrap, Return for a line break, a scroll bar.
constexpr DWORD kTallEdit = kStop | DWORD{WS_BORDER} | DWORD{WS_VSCROLL} | DWORD{ES_MULTILINE} |
                            DWORD{ES_AUTOVSCROLL} | DWORD{ES_WANTRETURN};
constexpr int kTallRows = 3;
constexpr DWORD kButton = kStop | DWORD{BS_PUSHBUTTON};
constexpr int kWidth = 240;
constexpr int kRow = 24;
constexpr int kLabelWidth = 84;
constexpr int kFieldX = 90;
constexpr int kFieldWidth = kWidth - kFieldX - 4;

// Byte limits are those of the IPTC datasets themselves.
const std::vector<IptcPageLayout> kPages = {
    {"DlgIptc1", "Picture", {}, {}},
    {"DlgIptc2",
     "Credits",
     {{80, "IDC_TBYLINE", "By-line:", 32, false},
      {85, "IDC_TBYLINET", "Title:", 32, false},
      {110, "IDC_TCREDIT", "Credit:", 32, false},
      {115, "IDC_TSOURCE", "Source:", 32, false},
      {116, "IDC_TCOPYRIGHT", "Copyright:", 128, false},
      {7, "IDC_TSTATUS", "Status:", 64, false},
      {kUrgency, "IDC_TPRIORITY", "Urgency:", 1, false}},
     {}},
    {"DlgIptc3",
     "Caption",
     {{120, "IDC_TCAPTION", "Caption:", 2000, true},
      {122, "IDC_TCAPTIONW", "Writer:", 32, false},
      {105, "IDC_THEADLINE", "Headline:", 256, false},
      {40, "IDC_TINSTR", "Instructions:", 256, true}},
     {}},
    {"DlgIptc4", "Keywords", {}, {IptcKeywords, "IDC_KEYADD", "IDC_KEYDEL", 64, nullptr, nullptr}},
    {"DlgIptc5",
     "Categories",
     {{15, "IDC_TCAT", "Category:", 3, false}},
     {IptcSupplementalCategories, "IDC_SCATADD", "IDC_SCATDEL", 32, "IDC_TSUPCAT", "Supplemental categories"}},
    {"DlgIptc6",
     "Origin",
     {{5, "IDC_TOBJECTN", "Object name:", 64, false},
      {kDateCreated, "IDC_TCREATED", "Created:", 8, false},
      {90, "IDC_TCITY", "City:", 32, false},
      {92, "IDC_TSUBLOCATION", "Sublocation:", 32, false},
      {95, "IDC_TSTATE", "State:", 32, false},
      {101, "IDC_TCOUNTRY", "Country:", 64, false},
      {100, "IDC_TCCODE", "Country code:", 3, false},
      {103, "IDC_TORIGINALREF", "Reference:", 32, false}},
     {}},
};

using Items = std::vector<DialogItemTemplate>;

void addInfoPage(Items& items)
{
    for (int i = 0; i < 6; ++i) items.push_back({WC_STATIC, IdcInfoFirst + i, "", 4, 4 + i * 18, 232, 16, kShown, 0});
    int y = 4 + 6 * 18 + 8;
    items.push_back({WC_BUTTON, IdcTemplateLoad, "Load...", 4, y, 74, 22, kButton, 0});
    items.push_back({WC_BUTTON, IdcTemplateSave, "Save...", 83, y, 74, 22, kButton, 0});
    items.push_back({WC_BUTTON, IdcClear, "Clear", 162, y, 74, 22, kButton, 0});
}

int addField(Items& items, const IptcField& f, int y)
{
    int height = f.tall ? kTallRows * kRow - 4 : kRow - 4;
    items.push_back({WC_STATIC, kLabelBase + f.dataset, f.builtIn, 4, y + 3, kLabelWidth, 16, kShown, 0});
    if (f.dataset == kUrgency) {
        items.push_back({WC_COMBOBOX, kFieldBase + f.dataset, "", kFieldX, y, kFieldWidth, 140,
                         kStop | DWORD{CBS_DROPDOWNLIST}, 0});
    } else if (f.dataset == kDateCreated) {
        items.push_back({WC_EDIT, kFieldBase + f.dataset, "", kFieldX, y, kFieldWidth - 62, height, kEdit, 0});
        items.push_back({WC_BUTTON, IdcToday, "Today", kWidth - 62, y, 58, height, kButton, 0});
    } else {
        items.push_back({WC_EDIT, kFieldBase + f.dataset, "", kFieldX, y, kFieldWidth, height, f.tall ? kTallEdit : kEdit, 0});
    }
    return y + height + 4;
}

void addList(Items& items, const IptcListSpec& list, int y)
{
    if (list.labelKey) {
        items.push_back({WC_STATIC, IdcListLabel, list.labelBuiltIn, 4, y + 2, 232, 16, kShown, 0});
        y += 20;
    }
    items.push_back({WC_EDIT, IdcIptcItem, "", 4, y, 232, 20, kEdit, 0});
    items.push_back({WC_BUTTON, IdcIptcAdd, "Add", 4, y + 24, 114, 22, kButton, 0});
    items.push_back({WC_BUTTON, IdcIptcDelete, "Remove", 122, y + 24, 114, 22, kButton, 0});
    items.push_back({WC_LISTBOX, IdcIptcList, "", 4, y + 50, 232, 230 - (y + 50),
                     kStop | DWORD{WS_BORDER} | DWORD{WS_VSCROLL} | DWORD{LBS_NOTIFY}, 0});
}

struct BuiltPage {
    Items items;
    DialogTemplate dialog{};
};

BuiltPage buildPage(const IptcPageLayout& layout, bool infoPage)
{
    BuiltPage built;
    if (infoPage) addInfoPage(built.items);
    int y = 4;
    for (const IptcField& f : layout.fields) y = addField(built.items, f, y);
    if (layout.list.dataset) addList(built.items, layout.list, y);
    built.dialog = {layout.title, DWORD{WS_POPUP} | DS_SETFONT, 0, 0, 0, kWidth, 232, "Tahoma", 8,
                    static_cast<int>(built.items.size()), built.items.data()};
    return built;
}

std::string fieldText(HWND page, int id)
{
    int length = GetWindowTextLength(GetDlgItem(page, id));
    std::string text(static_cast<size_t>(length) + 1, '\0');
    int n = GetDlgItemText(page, id, text.data(), length + 1);
    text.resize(static_cast<size_t>(n > 0 ? n : 0));
    return text;
}

void fillUrgency(HWND combo)
{
    // Levels 0, 1, 5 and 8 have names; the others show their number.
    struct Named {
        int level;
        TextId text;
    };
    constexpr Named kNamed[] = {{0, kIdsIptc0}, {1, kIdsIptc1}, {5, kIdsIptc5}, {8, kIdsIptc8}};
    SendMessage(combo, CB_RESETCONTENT, 0, 0);
    for (int i = 0; i < kUrgencyLevels; ++i) {
        std::string text = std::to_string(i);
        for (const Named& n : kNamed)
            if (n.level == i) text = Tr(n.text);
        SendMessage(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
}

void loadList(HWND page, const IptcListSpec& list, const IptcRecord& record)
{
    HWND box = GetDlgItem(page, IdcIptcList);
    SendMessage(box, LB_RESETCONTENT, 0, 0);
    if (const auto* items = iptcList(record, list.dataset))
        for (const std::string& item : *items) SendMessage(box, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    SendDlgItemMessage(page, IdcIptcItem, EM_LIMITTEXT, static_cast<WPARAM>(list.limit), 0);
}

void storeList(HWND page, const IptcListSpec& list, IptcRecord& record)
{
    HWND box = GetDlgItem(page, IdcIptcList);
    std::vector<std::string>* items = iptcList(record, list.dataset);
    items->clear();
    for (int i = 0, n = static_cast<int>(SendMessage(box, LB_GETCOUNT, 0, 0)); i < n; ++i) {
        std::string text(static_cast<size_t>(SendMessage(box, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0)) + 1, '\0');
        SendMessage(box, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.data()));
        text.resize(std::strlen(text.c_str()));
        if (!text.empty()) items->push_back(CutToBytes(text, static_cast<size_t>(list.limit)));
    }
}

}  // namespace

// The field breaks lines with CR LF; the dataset keeps one LF a break.
std::string FieldLinesToDataset(const std::string& field)
{
    std::string out;
    out.reserve(field.size());
    for (size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\r') {
            out += '\n';
            if (i + 1 < field.size() && field[i + 1] == '\n') ++i;
        } else {
            out += field[i];
        }
    }
    return out;
}

std::string DatasetLinesToField(const std::string& value)
{
    std::string out;
    out.reserve(value.size() + 8);
    for (char c : FieldLinesToDataset(value)) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

const std::vector<IptcPageLayout>& IptcPages() { return kPages; }

const DialogTemplate* IptcPageTemplate(size_t page)
{
    static std::vector<BuiltPage> built = [] {
        std::vector<BuiltPage> pages;
        for (size_t i = 0; i < kPages.size(); ++i) pages.push_back(buildPage(kPages[i], i == 0));
        for (BuiltPage& p : pages) p.dialog.items = p.items.data();  // the moves kept the items, not the pointer
        return pages;
    }();
    return page < built.size() ? &built[page].dialog : nullptr;
}

std::string CutToBytes(const std::string& text, size_t limit)
{
    if (text.size() <= limit) return text;
    size_t end = limit;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
    return text.substr(0, end);
}

void LoadIptcPage(HWND page, const IptcPageLayout& layout, const IptcRecord& record)
{
    for (const IptcField& f : layout.fields) {
        const std::string& value = record.slots[f.dataset];
        if (f.dataset == kUrgency) {
            HWND combo = GetDlgItem(page, IdcPriority);
            fillUrgency(combo);
            int level = value.size() == 1 && value[0] >= '0' && value[0] <= '8' ? value[0] - '0' : -1;
            SendMessage(combo, CB_SETCURSEL, static_cast<WPARAM>(level), 0);
            continue;
        }
        std::string shown = CutToBytes(value, static_cast<size_t>(f.limit));
        // A field's limit counts a line break's two bytes; the dataset, one.
        SendDlgItemMessage(page, kFieldBase + f.dataset, EM_LIMITTEXT, static_cast<WPARAM>(f.limit), 0);
        SetDlgItemText(page, kFieldBase + f.dataset, (f.tall ? DatasetLinesToField(shown) : shown).c_str());
    }
    if (layout.list.dataset) loadList(page, layout.list, record);
}

void StoreIptcPage(HWND page, const IptcPageLayout& layout, IptcRecord& record)
{
    for (const IptcField& f : layout.fields) {
        std::string& slot = record.slots[f.dataset];
        if (f.dataset == kUrgency) {
            LRESULT level = SendDlgItemMessage(page, IdcPriority, CB_GETCURSEL, 0, 0);
            slot = level >= 0 && level < kUrgencyLevels ? std::string(1, static_cast<char>('0' + level)) : "";
            continue;
        }
        std::string text = fieldText(page, kFieldBase + f.dataset);
        slot = CutToBytes(f.tall ? FieldLinesToDataset(text) : text, static_cast<size_t>(f.limit));
    }
    if (layout.list.dataset) storeList(page, layout.list, record);
}

}  // namespace fotrix
