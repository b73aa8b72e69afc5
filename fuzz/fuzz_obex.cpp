// Fuzz target: what an OBEX peer sends: a PUT packet parsed with every header
// length checked, and the name it carries made safe for the receiving folder.
#include <cstdint>
#include <span>

#include "app/send/obex_names.h"
#include "app/send/obex_packets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::span<const uint8_t> packet(data, size);
    if (size >= fotrix::obex::kPacketHead) fotrix::obex::packetLength(packet.first(fotrix::obex::kPacketHead));
    fotrix::obex::PutParse parse = fotrix::obex::parsePut(packet);
    if (parse.ok && parse.contents.name) fotrix::obex::sanitisedName(*parse.contents.name);
    std::u16string raw;
    for (size_t i = 0; i + 1 < size; i += 2) raw.push_back(static_cast<char16_t>(data[i] << 8 | data[i + 1]));
    fotrix::obex::sanitisedName(raw);
    fotrix::obex::utf8FromUtf16(raw);
    return 0;
}
