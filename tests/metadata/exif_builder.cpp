#include "tests/metadata/exif_builder.h"

#include "metadata/exif.h"

namespace exiftest {

std::vector<uint8_t> u16(bool be, std::initializer_list<uint32_t> values)
{
    std::vector<uint8_t> out;
    for (uint32_t v : values) {
        if (be) out.insert(out.end(), {uint8_t(v >> 8), uint8_t(v)});
        else out.insert(out.end(), {uint8_t(v), uint8_t(v >> 8)});
    }
    return out;
}

std::vector<uint8_t> u32(bool be, std::initializer_list<uint32_t> values)
{
    std::vector<uint8_t> out;
    for (uint32_t v : values) {
        if (be) out.insert(out.end(), {uint8_t(v >> 24), uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)});
        else out.insert(out.end(), {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)});
    }
    return out;
}

std::vector<uint8_t> text(const std::string& s, bool nul)
{
    std::vector<uint8_t> out(s.begin(), s.end());
    if (nul) out.push_back(0);
    return out;
}

Entry ascii(uint16_t tag, const std::string& s)
{
    auto data = text(s);
    return {tag, 2, uint32_t(data.size()), data, {}};
}
Entry shortValue(bool be, uint16_t tag, uint32_t value) { return {tag, 3, 1, u16(be, {value}), {}}; }
Entry longValue(bool be, uint16_t tag, uint32_t value) { return {tag, 4, 1, u32(be, {value}), {}}; }
Entry rational(bool be, uint16_t tag, std::initializer_list<uint32_t> pairs, uint16_t type)
{
    return {tag, type, uint32_t(pairs.size() / 2), u32(be, pairs), {}};
}
Entry undefined(uint16_t tag, std::vector<uint8_t> bytes)
{
    uint32_t n = uint32_t(bytes.size());
    return {tag, 7, n, std::move(bytes), {}};
}

namespace {

std::vector<uint8_t> valueBytes(const Entry& e, uint32_t offset) { return e.make ? e.make(offset) : e.data; }

size_t dataSize(const Entry& e)
{
    size_t n = valueBytes(e, 0).size();
    return n > 4 ? n + (n & 1) : 0;
}

size_t ifdSize(const std::vector<Entry>& entries)
{
    size_t size = 2 + 12 * entries.size() + 4;
    for (const Entry& e : entries) size += dataSize(e);
    return size;
}

// Writes a directory at tiff offset `at` (out.size() - 6 == at).
void writeIfd(bool be, std::vector<uint8_t>& out, const std::vector<Entry>& entries, uint32_t next)
{
    uint32_t at = uint32_t(out.size() - 6);
    uint32_t data = at + 2 + 12 * uint32_t(entries.size()) + 4;
    auto count = u16(be, {uint32_t(entries.size())});
    out.insert(out.end(), count.begin(), count.end());
    std::vector<uint8_t> area;
    for (const Entry& e : entries) {
        auto head = u16(be, {e.tag, e.type});
        auto n = u32(be, {e.count});
        out.insert(out.end(), head.begin(), head.end());
        out.insert(out.end(), n.begin(), n.end());
        uint32_t where = data + uint32_t(area.size());
        std::vector<uint8_t> bytes = valueBytes(e, where);
        if (bytes.size() <= 4) {
            bytes.resize(4, 0);
            out.insert(out.end(), bytes.begin(), bytes.end());
        } else {
            auto offset = u32(be, {where});
            out.insert(out.end(), offset.begin(), offset.end());
            area.insert(area.end(), bytes.begin(), bytes.end());
            if (bytes.size() & 1) area.push_back(0);
        }
    }
    auto link = u32(be, {next});
    out.insert(out.end(), link.begin(), link.end());
    out.insert(out.end(), area.begin(), area.end());
}

}  // namespace

std::vector<uint8_t> build(const Block& block)
{
    bool be = block.bigEndian;
    std::vector<Entry> ifd0 = block.ifd0, exif = block.exif;
    // Pointer entries first get placeholder values, sized like the real ones.
    if (!block.exif.empty() || !block.interop.empty()) ifd0.push_back(longValue(be, 0x8769, 0));
    if (!block.gps.empty()) ifd0.push_back(longValue(be, 0x8825, 0));
    if (!block.interop.empty()) exif.push_back(longValue(be, 0xA005, 0));
    uint32_t exifAt = 8 + uint32_t(ifdSize(ifd0));
    uint32_t interopAt = exifAt + uint32_t(ifdSize(exif));
    uint32_t gpsAt = interopAt + (block.interop.empty() ? 0 : uint32_t(ifdSize(block.interop)));
    uint32_t ifd1At = gpsAt + (block.gps.empty() ? 0 : uint32_t(ifdSize(block.gps)));
    for (Entry& e : ifd0) {
        if (e.tag == 0x8769) e.data = u32(be, {exifAt});
        if (e.tag == 0x8825) e.data = u32(be, {gpsAt});
    }
    for (Entry& e : exif)
        if (e.tag == 0xA005) e.data = u32(be, {interopAt});

    std::vector<uint8_t> out = text("Exif", true);
    out.push_back(0);
    auto header = be ? std::vector<uint8_t>{'M', 'M'} : std::vector<uint8_t>{'I', 'I'};
    out.insert(out.end(), header.begin(), header.end());
    auto magic = u16(be, {42});
    auto first = u32(be, {8});
    out.insert(out.end(), magic.begin(), magic.end());
    out.insert(out.end(), first.begin(), first.end());
    writeIfd(be, out, ifd0, block.ifd1.empty() ? 0 : ifd1At);
    if (!exif.empty()) writeIfd(be, out, exif, 0);
    if (!block.interop.empty()) writeIfd(be, out, block.interop, 0);
    if (!block.gps.empty()) writeIfd(be, out, block.gps, 0);
    if (!block.ifd1.empty()) writeIfd(be, out, block.ifd1, 0);
    return out;
}

namespace {

void collect(void* user, uint32_t, uint32_t, const char* label, const char* value)
{
    auto* lines = static_cast<std::vector<std::string>*>(user);
    lines->push_back(value ? std::string(label) + "=" + value : "[" + std::string(label) + "]");
}

}  // namespace

std::vector<std::string> walk(const std::vector<uint8_t>& block)
{
    std::vector<std::string> lines;
    fotrix::exifReadBlock(block.data(), block.size(), collect, &lines);
    return lines;
}

std::string valueOf(const std::vector<std::string>& lines, const std::string& label)
{
    for (const std::string& line : lines)
        if (line.rfind(label + "=", 0) == 0) return line.substr(label.size() + 1);
    return "<none>";
}

}  // namespace exiftest
