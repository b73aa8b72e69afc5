// (internal to the IPTC editor)
#pragma once
// The six pages of the IPTC editor as tables: each text field with its
// dataset and the dataset's byte limit, the lists of repeatable datasets with
// their add and remove buttons, and the page's other buttons.
#include "metadata/iptc.h"
#include "platform/windows.h"

#include <string>
#include <vector>

namespace fotrix {

struct IptcField {
    int dataset;
    const char* key;      // the label's key in the page's language section
    const char* builtIn;
    int limit;            // bytes the dataset holds
    bool tall;            // a field of several lines
};

struct IptcListSpec {
    int dataset;          // 0: the page has no list
    const char* addKey;
    const char* deleteKey;
    int limit;            // bytes of one item
    const char* labelKey = nullptr;  // a label above the list, when the page has other fields
    const char* labelBuiltIn = nullptr;
};

struct IptcPageLayout {
    const char* section;
    const char* title;
    std::vector<IptcField> fields;
    IptcListSpec list;
};

// Control ids: a field's edit is kFieldBase + dataset, its label kLabelBase + dataset.
enum IptcControl : int {
    kFieldBase = 2000,
    kLabelBase = 2300,
    IdcIptcList = 2600,
    IdcIptcItem = 2601,
    IdcIptcAdd = 2602,
    IdcIptcDelete = 2603,
    IdcToday = 2604,
    IdcTemplateLoad = 2605,
    IdcTemplateSave = 2606,
    IdcClear = 2607,
    IdcListLabel = 2608,
    IdcInfoFirst = 2610,  // the six lines of picture information
    IdcPriority = kFieldBase + 10,  // the urgency (dataset 10)
};

const std::vector<IptcPageLayout>& IptcPages();
// The page's template, made once from its table.
const DialogTemplate* IptcPageTemplate(size_t page);

// Field contents to and from the record; texts are cut to the dataset's limit.
void LoadIptcPage(HWND page, const IptcPageLayout& layout, const IptcRecord& record);
void StoreIptcPage(HWND page, const IptcPageLayout& layout, IptcRecord& record);
// Line breaks: CR LF in an edit field, LF in a dataset (a lone CR read from
// a file counts as a break too).
std::string FieldLinesToDataset(const std::string& field);
std::string DatasetLinesToField(const std::string& value);
// A text cut to at most `limit` bytes, never inside a UTF-8 character.
std::string CutToBytes(const std::string& text, size_t limit);

}  // namespace fotrix
