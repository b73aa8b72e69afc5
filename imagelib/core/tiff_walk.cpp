// The shared TIFF directory walker: header, entry tables, links and the
// visit budget of one walk.
#include "imagelib/tiff_walk.h"

namespace fotrix {

uint32_t tiffTypeSize(uint16_t type)
{
    // Indexed by type: BYTE, ASCII, SHORT, LONG, RATIONAL, SBYTE, UNDEFINED,
    // SSHORT, SLONG, SRATIONAL, FLOAT, DOUBLE, IFD.
    static constexpr uint8_t sizes[14] = {0, 1, 1, 2, 4, 8, 1, 1, 2, 4, 8, 4, 8, 4};
    return type < 14 ? sizes[type] : 0;
}

bool tiffReadHeader(const ByteSource& source, TiffHeader& header)
{
    uint8_t bytes[8];
    if (!source.readAt(0, bytes, sizeof bytes)) return false;
    if (bytes[0] == 'I' && bytes[1] == 'I') header.bigEndian = false;
    else if (bytes[0] == 'M' && bytes[1] == 'M') header.bigEndian = true;
    else return false;
    ByteReader fields(bytes, header.bigEndian);
    header.magic = fields.u16At(2);
    header.firstDirectory = fields.u32At(4);
    return true;
}

bool TiffWalk::enter(uint64_t offset)
{
    if (entered_ >= TiffMaxDirectories || !visited_.insert(offset).second) return false;
    ++entered_;
    return true;
}

TiffRead TiffWalk::read(uint64_t offset, TiffDirectory& directory) const
{
    directory = TiffDirectory{};
    directory.offset = offset;
    uint8_t countBytes[2];
    if (!source_.readAt(offset, countBytes, 2)) return TiffRead::Unreadable;
    const uint32_t count = ByteReader(countBytes, bigEndian_).u16At(0);
    if (count > TiffMaxEntries) return TiffRead::TooManyEntries;
    std::vector<uint8_t> table(12 * size_t(count));
    if (!source_.readAt(offset + 2, table.data(), table.size())) return TiffRead::Unreadable;

    ByteReader entries(table, bigEndian_);
    directory.entries.resize(count);
    for (TiffEntry& e : directory.entries) {
        e.tag = entries.u16();
        e.type = entries.u16();
        e.count = entries.u32();
        entries.readAt(entries.pos, e.field, 4);
        e.fieldValue = entries.u32();
    }
    uint8_t link[4];
    directory.hasLink = source_.readAt(directory.tableEnd(), link, 4);
    if (directory.hasLink) directory.next = ByteReader(link, bigEndian_).u32At(0);
    return TiffRead::Ok;
}

}  // namespace fotrix
