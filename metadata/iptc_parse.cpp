// Reading IPTC datasets out of a Photoshop image-resource block.
#include <cstring>

#include "imagelib/bytes.h"
#include "metadata/iptc.h"

namespace fotrix {

namespace {

struct IptcLabel {
    int dataset;
    const char* label;
};

constexpr IptcLabel labelTable[] = {
    {80, "Byline"},          {85, "Byline Title"},
    {110, "Credits"},        {115, "Source"},
    {122, "Caption Writer"}, {120, "Caption"},
    {105, "Headline"},       {40, "Special Instructions"},
    {5, "Object Name"},      {55, "Date Created"},
    {30, "Release Date"},    {90, "City"},
    {95, "State"},           {101, "Country"},
    {103, "Original Transmission Reference"},
    {15, "Category"},        {116, "CopyrightNotice"},
    {7, "Edit Status"},      {22, "JobId"},
    {65, "Program"},         {10, "Priority"},
    {92, "Sublocation"},     {100, "Country Code"},
    {75, "Object Cycle"},    {60, "Time Created"},
    {35, "Release Time"},    {70, "Program version"},
    {118, "Contact"},        {27, "Content location"},
    {26, "Content location code"},
    {45, "Reference Service"}, {50, "Reference Number"},
};

const char* listLabel(int dataset)
{
    switch (dataset) {
    case IptcSupplementalCategories: return "Supplemental Categories";
    case IptcKeywords: return "Keywords";
    case IptcLocation: return "Location";
    case IptcContact: return "Contacts";
    default: return nullptr;
    }
}

void storeDataset(IptcRecord& record, int dataset, const uint8_t* value, size_t length)
{
    // Values are texts: a NUL inside ends them.
    size_t textLength = 0;
    while (textLength < length && value[textLength]) ++textLength;
    std::string text(reinterpret_cast<const char*>(value), textLength);
    if (std::vector<std::string>* list = iptcList(record, dataset)) list->push_back(std::move(text));
    else record.slots[dataset] = std::move(text);
    record.found = true;
}

}  // namespace

std::vector<std::string>* iptcList(IptcRecord& record, int dataset)
{
    switch (dataset) {
    case IptcSupplementalCategories: return &record.supplementalCategories;
    case IptcKeywords: return &record.keywords;
    case IptcLocation: return &record.locations;
    case IptcContact: return &record.contacts;
    default: return nullptr;
    }
}

const std::vector<std::string>* iptcList(const IptcRecord& record, int dataset)
{
    return iptcList(const_cast<IptcRecord&>(record), dataset);
}

void iptcSetValue(IptcRecord& record, int dataset, const std::string& text)
{
    if (dataset < 0 || dataset > 255) return;
    if (std::vector<std::string>* list = iptcList(record, dataset)) *list = {text};
    else record.slots[dataset] = text;
}

void iptcAddValue(IptcRecord& record, int dataset, const std::string& text)
{
    if (dataset < 0 || dataset > 255) return;
    if (std::vector<std::string>* list = iptcList(record, dataset)) list->push_back(text);
    else record.slots[dataset] = text;
}

void iptcFree(IptcRecord& record)
{
    for (std::string& slot : record.slots) std::string().swap(slot);
    record.supplementalCategories.clear();
    record.keywords.clear();
    record.contacts.clear();
    record.locations.clear();
    record.found = false;
}

const char* iptcLabel(int dataset)
{
    for (const IptcLabel& entry : labelTable)
        if (entry.dataset == dataset) return entry.label;
    return nullptr;
}

const uint8_t* iptcFind(const uint8_t* payload, size_t size)
{
    if (!payload || size < 14 || std::memcmp(payload, "Photoshop 3.0", 13) != 0) return nullptr;
    for (size_t i = 14; i + 6 < size; ++i) {
        const uint8_t* p = payload + i;
        if (std::memcmp(p, "8BIM\x04\x04", 6) != 0) continue;
        size_t name = i + 6;
        if (name >= size) return nullptr;
        size_t nameBytes = (size_t(payload[name]) + 2) & ~size_t(1);  // length byte, text, even padding
        size_t sizeField = name + nameBytes;
        if (sizeField + 4 > size) return nullptr;
        return payload + sizeField + 2;  // the low half of the size leads the area
    }
    return nullptr;
}

void iptcParse(const uint8_t* area, size_t size, IptcRecord& record)
{
    iptcFree(record);
    if (!area || size < 2) return;
    ByteReader bytes({area, size}, true);
    size_t length = bytes.u16At(0);
    if (length == 0 || length > size - 2) length = size - 2;  // cut to the block
    const uint8_t* data = area + 2;
    size_t pos = 0;
    while (pos + 1 < length && pos < 256 && !(data[pos] == 0x1C && data[pos + 1] == 0x02)) ++pos;
    while (pos + 5 <= length && data[pos] == 0x1C) {
        int recordNumber = data[pos + 1];
        int dataset = data[pos + 2];
        size_t valueLength = bytes.u16At(2 + pos + 3);
        if (valueLength & 0x8000) break;  // extended lengths are not used by record 2 texts
        if (pos + 5 + valueLength > length) break;
        if (recordNumber == 2) storeDataset(record, dataset, data + pos + 5, valueLength);
        pos += 5 + valueLength;
    }
}

int iptcRead(const MetadataBlock* metadata, IptcRecord& record)
{
    iptcFree(record);
    for (const MetadataBlock* block = metadata; block; block = block->next) {
        if (block->kind != MetaIptc || !block->data) continue;
        const uint8_t* area = iptcFind(block->data, block->size);
        if (!area) continue;
        iptcParse(area, block->size - size_t(area - block->data), record);
        return 1;
    }
    return 0;
}

void iptcListTags(const MetadataBlock* metadata, ExifCallback callback, void* userData)
{
    const MetadataBlock* last = nullptr;
    const uint8_t* area = nullptr;
    for (const MetadataBlock* block = metadata; block; block = block->next) {
        if (block->kind != MetaIptc || !block->data) continue;
        if (const uint8_t* found = iptcFind(block->data, block->size)) {
            last = block;
            area = found;
        }
    }
    if (!last || !callback) return;
    IptcRecord record;
    iptcParse(area, last->size - size_t(area - last->data), record);
    for (int dataset = 0; dataset < 256; ++dataset) {
        if (const std::vector<std::string>* list = iptcList(record, dataset)) {
            if (list->empty()) continue;
            std::string joined;
            for (size_t i = 0; i < list->size(); ++i) joined += (i ? "," : "") + (*list)[i];
            callback(userData, 0, dataset, listLabel(dataset), joined.c_str());
        } else if (!record.slots[dataset].empty()) {
            const char* label = iptcLabel(dataset);
            callback(userData, 0, dataset, label ? label : "????", record.slots[dataset].c_str());
        }
    }
}

}  // namespace fotrix
