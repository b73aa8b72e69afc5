#pragma once
// IPTC (record 2, the application record) inside the Photoshop image-resource
// block of a JPEG APP13 segment: parsing, listing, building and writing back,
// and the text form in which records are kept as templates.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "imagelib/bitmap.h"
#include "metadata/exif.h"

namespace fotrix {

// Datasets kept as lists; every other dataset holds one text.
enum IptcListDataset : int {
    IptcSupplementalCategories = 20,
    IptcKeywords = 25,
    IptcLocation = 27,
    IptcContact = 118,
};

struct IptcRecord {
    std::string slots[256];  // one text per dataset number; empty = absent
    std::vector<std::string> supplementalCategories;
    std::vector<std::string> keywords;
    std::vector<std::string> contacts;
    std::vector<std::string> locations;
    bool found = false;  // at least one dataset was read
};

// The list of a list dataset, or null for single-valued datasets.
std::vector<std::string>* iptcList(IptcRecord& record, int dataset);
const std::vector<std::string>* iptcList(const IptcRecord& record, int dataset);

// Sets a dataset (a list dataset becomes a list of this one text), or adds
// one more item to a list dataset (a single-valued dataset is set).
void iptcSetValue(IptcRecord& record, int dataset, const std::string& text);
void iptcAddValue(IptcRecord& record, int dataset, const std::string& text);

// The start of the dataset area (its 16-bit length) inside an APP13 payload
// that begins "Photoshop 3.0" and holds the IPTC resource 0x0404; else null.
const uint8_t* iptcFind(const uint8_t* payload, size_t size);

// Fills `record` (cleared first) from a dataset area of `size` bytes.
void iptcParse(const uint8_t* area, size_t size, IptcRecord& record);

// Parses the first IPTC block of the list that iptcFind accepts; 1 when found.
int iptcRead(const MetadataBlock* metadata, IptcRecord& record);

// Reports every dataset of the last acceptable IPTC block in ascending number,
// lists joined with ",". Group 0, the dataset number as tag.
void iptcListTags(const MetadataBlock* metadata, ExifCallback callback, void* userData);

// The dataset area: a 16-bit big-endian length and the datasets in
// descending number. False when the datasets exceed 65535 bytes.
bool iptcBuild(const IptcRecord& record, std::vector<uint8_t>& area);

// Rewrites a JPEG file with the record in a new APP13 segment, through a
// temporary file renamed over the original. Results: 0 done, 1 out of memory
// or nothing to write, 3 cannot open, 6 no place for the segment or the file
// cannot be written, 18 the file is read-only (the original is then unchanged).
int iptcWriteJpeg(const char* path, const IptcRecord& record);

void iptcFree(IptcRecord& record);

// The label of a dataset in the information list, or null.
const char* iptcLabel(int dataset);

// Template text: "number:length:value:" entries, at most 1024 bytes.
std::string iptcTemplateWrite(const IptcRecord& record);
// Reads a template into `record` (cleared first): 0 for an empty text, else 1.
int iptcTemplateRead(const std::string& text, IptcRecord& record);

}  // namespace fotrix
