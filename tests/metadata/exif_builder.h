#pragma once
// Builds small EXIF blocks ("Exif", 0, 0 and a TIFF structure) in either byte
// order for the walker tests.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace exiftest {

struct Entry {
    uint16_t tag = 0;
    uint16_t type = 0;
    uint32_t count = 0;
    std::vector<uint8_t> data;  // value bytes, already in the block's order
    // Value bytes that depend on where they land (offset from the TIFF header).
    std::function<std::vector<uint8_t>(uint32_t offset)> make;
};

struct Block {
    bool bigEndian = false;
    std::vector<Entry> ifd0, exif, gps, interop, ifd1;
};

// Numbers in the block's byte order.
std::vector<uint8_t> u16(bool bigEndian, std::initializer_list<uint32_t> values);
std::vector<uint8_t> u32(bool bigEndian, std::initializer_list<uint32_t> values);
std::vector<uint8_t> text(const std::string& s, bool nul = true);

Entry ascii(uint16_t tag, const std::string& s);
Entry shortValue(bool bigEndian, uint16_t tag, uint32_t value);
Entry longValue(bool bigEndian, uint16_t tag, uint32_t value);
Entry rational(bool bigEndian, uint16_t tag, std::initializer_list<uint32_t> pairs, uint16_t type = 5);
Entry undefined(uint16_t tag, std::vector<uint8_t> bytes);

std::vector<uint8_t> build(const Block& block);

// The reported values of a walk, in order: "[Group]" for announcements and
// "label=value" otherwise.
std::vector<std::string> walk(const std::vector<uint8_t>& block);
// The value reported under a label (the first one), or "<none>".
std::string valueOf(const std::vector<std::string>& lines, const std::string& label);

}  // namespace exiftest
