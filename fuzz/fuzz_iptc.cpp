// Fuzz target: the IPTC parser on an APP13 payload, the listing, the builder
// of what was parsed, and the template reader on the same bytes as text.
#include <cstdint>
#include <string>
#include <vector>

#include "metadata/iptc.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<uint8_t> copy(data, data + size);
    fotrix::MetadataBlock block;
    block.kind = fotrix::MetaIptc;
    block.size = static_cast<uint32_t>(copy.size());
    block.data = copy.data();
    fotrix::IptcRecord record;
    fotrix::iptcRead(&block, record);
    fotrix::iptcListTags(&block, [](void*, uint32_t, uint32_t, const char*, const char*) {}, nullptr);
    std::vector<uint8_t> area;
    fotrix::iptcBuild(record, area);
    fotrix::iptcTemplateRead(fotrix::iptcTemplateWrite(record), record);
    fotrix::iptcTemplateRead(std::string(data, data + size), record);
    fotrix::iptcFree(record);
    return 0;
}
