// The rows of the three property pages, built from the file's description
// and the EXIF and IPTC listers.
#include "app/properties/property_rows.h"

#include "app/browser/file_texts.h"
#include "app/language_file.h"
#include "imagelib/load.h"
#include "metadata/exif.h"
#include "metadata/iptc.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <algorithm>

namespace fotrix {

namespace {

constexpr const char* kInfoSection = "DlgProp1";

std::string sectionText(const char* key, const char* builtIn)
{
    std::string value;
    return languageLookup(kInfoSection, key, value) ? value : std::string(builtIn);
}

std::string pair(int a, int b) { return std::to_string(a) + " x " + std::to_string(b); }

std::string folderOf(const std::string& path)
{
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

FILETIME lastWrite(const std::string& path)
{
    WIN32_FIND_DATA data{};
    HANDLE find = FindFirstFile(path.c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return FILETIME{};
    FindClose(find);
    return data.ftLastWriteTime;
}

// A file that gives no resolution is taken at the screen's usual 72 dpi.
std::string resolution(const FileInfo& info)
{
    if (info.dpiX == 0 || info.dpiY == 0) return "72 x 72";
    return pair(info.dpiX, info.dpiY);
}

std::string depth(const FileInfo& info)
{
    int bits = info.bitsPerComponent * std::max<int>(1, info.componentCount);
    if (info.planes > 1) bits = info.bitsPerPlane * info.planes;
    return bits > 0 ? std::to_string(bits) + " bits" : std::string();
}

struct InfoField {
    const char* key;
    const char* builtIn;
    std::string (*value)(const std::string& path, const FileInfo& info);
};

const InfoField kInfoFields[] = {
    {"IDC_TFOLDER", "Folder", [](const std::string& p, const FileInfo&) { return folderOf(p); }},
    {"IDC_TNAME", "Name", [](const std::string& p, const FileInfo&) { return DisplayName(p, true); }},
    {"IDC_TSIZE", "Size", [](const std::string&, const FileInfo& i) { return SizeText(i.fileSize); }},
    {"IDC_TDATE", "Date", [](const std::string& p, const FileInfo&) { return DateText(lastWrite(p)); }},
    {"IDC_TFORMAT", "Format", [](const std::string&, const FileInfo& i) { return TypeText(i); }},
    {"IDC_TDIM", "Dimensions", [](const std::string&, const FileInfo& i) { return pair(i.width, i.height); }},
    {"IDC_TRES", "Resolution", [](const std::string&, const FileInfo& i) { return resolution(i); }},
    {"IDC_TDEPTH", "Colours", [](const std::string&, const FileInfo& i) { return depth(i); }},
    {"IDC_TCOMMENT", "Comment",
     [](const std::string&, const FileInfo& i) { return std::string(i.comment ? i.comment : ""); }},
};

// Folder and name: shown even when the picture cannot be described.
constexpr size_t kAlwaysShownFields = 2;

void addRow(PropertyRows& rows, const char* label, const char* value)
{
    rows.push_back({CutToCharacters(label ? label : "", kPropertyCellChars),
                    CutToCharacters(value ? value : "", kPropertyCellChars)});
}

// The numbers of a "D° M' S\"" text as degrees; false without three numbers.
bool degreesOf(const std::string& text, double& out)
{
    double parts[3];
    const char* p = text.c_str();
    for (double& part : parts) {
        while (*p && !(*p >= '0' && *p <= '9') && *p != '.') ++p;
        if (!*p) return false;
        char* end = nullptr;
        part = std::strtod(p, &end);
        if (end == p) return false;
        p = end;
    }
    out = parts[0] + parts[1] / 60.0 + parts[2] / 3600.0;
    return true;
}

struct ExifCollector {
    PropertyRows rows;
    std::string latitudeRef, longitudeRef;
};

// The GPS references come before their positions: South and West turn the sign.
void addDecimal(ExifCollector& c, const char* label, const std::string& value)
{
    bool latitude = std::strcmp(label, "Latitude") == 0;
    if (!latitude && std::strcmp(label, "Longitude") != 0) return;
    double degrees = 0;
    if (!degreesOf(value, degrees)) return;
    const std::string& ref = latitude ? c.latitudeRef : c.longitudeRef;
    if (ref == "South" || ref == "West") degrees = -degrees;
    char text[32];
    std::snprintf(text, sizeof text, "%.6f", degrees);
    addRow(c.rows, (std::string(label) + " (decimal)").c_str(), text);
}

void collectExif(void* data, uint32_t group, uint32_t, const char* label, const char* value)
{
    auto& c = *static_cast<ExifCollector*>(data);
    if (!value) {
        c.rows.push_back({});
        return;
    }
    addRow(c.rows, label, value);
    if (group != ExifGroupGps) return;
    if (std::strcmp(label, "Latitude Ref") == 0) c.latitudeRef = value;
    else if (std::strcmp(label, "Longitude Ref") == 0) c.longitudeRef = value;
    else addDecimal(c, label, value);
}

void collectIptc(void* data, uint32_t, uint32_t, const char* label, const char* value)
{
    auto& rows = *static_cast<PropertyRows*>(data);
    if (!value) rows.push_back({});
    else addRow(rows, label, value);
}

// XMP may be written in UTF-16 (either order): its element names are ASCII,
// so dropping the zero bytes leaves them readable.
bool xmpHolds(const MetadataBlock* metadata, const char* element)
{
    for (const MetadataBlock* b = metadata; b; b = b->next) {
        if (b->kind != MetaXmp || !b->data) continue;
        std::string packet(reinterpret_cast<const char*>(b->data), b->size);
        if (packet.find('\0') != std::string::npos) std::erase(packet, '\0');
        if (packet.find(element) != std::string::npos) return true;
    }
    return false;
}

}  // namespace

std::string StateLineText(const std::string& text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') {
            out += text[i];
            continue;
        }
        out += "\\n";
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    }
    return out;
}

std::string CutToCharacters(const std::string& text, size_t limit)
{
    size_t characters = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        bool starts = (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80;
        if (starts && ++characters > limit) return text.substr(0, i);
    }
    return text;
}

PropertyRows InfoRows(const std::string& path)
{
    FileInfo info{};
    int result = getFileInfo(path, -1, ReadTextInfo, info);
    PropertyRows rows;
    for (size_t i = 0; i < std::size(kInfoFields); ++i) {
        const InfoField& f = kInfoFields[i];
        // An unreadable picture still shows where it is and what it is called.
        std::string value = result == 0 || i < kAlwaysShownFields ? f.value(path, info) : std::string();
        addRow(rows, sectionText(f.key, f.builtIn).c_str(), value.c_str());
    }
    freeFileInfo(info);
    return rows;
}

PropertyRows ExifRows(const MetadataBlock* metadata)
{
    ExifCollector collector;
    exifListTags(metadata, collectExif, &collector);
    return collector.rows;
}

PropertyRows IptcRows(const MetadataBlock* metadata)
{
    PropertyRows rows;
    iptcListTags(metadata, collectIptc, &rows);
    bool caption = xmpHolds(metadata, "dc:description");
    bool keywords = xmpHolds(metadata, "dc:subject");
    if (caption || keywords) {
        rows.push_back({});
        const char* what = caption && keywords ? "caption, keywords" : caption ? "caption" : "keywords";
        addRow(rows, "XMP", (std::string("also holds ") + what).c_str());
    }
    return rows;
}

}  // namespace fotrix
