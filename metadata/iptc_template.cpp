// The text form of an IPTC record kept as a template: "number:length:value:"
// entries; the length, not a separator, decides where a value ends.
#include <cstdio>
#include <cstdlib>

#include "metadata/iptc.h"

namespace fotrix {

namespace {

constexpr size_t MaxTemplateBytes = 1024;

// Datasets in the order they are written.
constexpr int writeOrder[] = {120, 122, 105, 40, 25, 15, 20, 116, 80, 85, 110, 115, 7,  22,
                              65,  10,  75,  5,  90, 92, 95, 101, 100, 103, 55, 30};

bool accepted(int dataset)
{
    static constexpr int datasets[] = {5,  7,  10, 15, 20,  22,  25,  30,  40,  55,  65,  75,  80,
                                       85, 90, 92, 95, 100, 101, 103, 105, 110, 115, 116, 120, 122};
    for (int d : datasets)
        if (d == dataset) return true;
    return false;
}

void appendEntry(std::string& text, int dataset, const std::string& value)
{
    // Urgency and object cycle are single characters.
    std::string v = (dataset == 10 || dataset == 75) ? value.substr(0, 1) : value;
    std::string entry = std::to_string(dataset) + ":" + std::to_string(v.size()) + ":" + v + ":";
    if (text.size() + entry.size() <= MaxTemplateBytes) text += entry;
}

// Reads a decimal number ending with ':' at `pos`; false when there is none.
bool readNumber(const std::string& text, size_t& pos, size_t& number)
{
    size_t start = pos;
    number = 0;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
        if (number > 100000) return false;
        number = number * 10 + size_t(text[pos] - '0');
        ++pos;
    }
    if (pos == start || pos >= text.size() || text[pos] != ':') return false;
    ++pos;
    return true;
}

}  // namespace

std::string iptcTemplateWrite(const IptcRecord& record)
{
    std::string text;
    for (int dataset : writeOrder) {
        if (const std::vector<std::string>* list = iptcList(record, dataset)) {
            for (const std::string& item : *list)
                if (!item.empty()) appendEntry(text, dataset, item);
        } else if (!record.slots[dataset].empty()) {
            appendEntry(text, dataset, record.slots[dataset]);
        }
    }
    return text;
}

int iptcTemplateRead(const std::string& text, IptcRecord& record)
{
    iptcFree(record);
    if (text.empty()) return 0;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t dataset = 0, length = 0;
        if (!readNumber(text, pos, dataset) || !readNumber(text, pos, length)) break;
        if (length > text.size() - pos) break;
        std::string value = text.substr(pos, length);
        pos += length;
        if (pos < text.size()) ++pos;  // the separator
        if (!accepted(static_cast<int>(dataset))) continue;
        iptcAddValue(record, static_cast<int>(dataset), value);
        record.found = true;
    }
    return 1;
}

}  // namespace fotrix
