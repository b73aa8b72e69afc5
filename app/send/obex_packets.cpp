// Building and reading OBEX packets.
#include "app/send/obex_packets.h"

#include <algorithm>

namespace fotrix::obex {
namespace {

void put16(Bytes& out, std::size_t value) {
    out.push_back(static_cast<std::uint8_t>(value >> 8));
    out.push_back(static_cast<std::uint8_t>(value));
}

std::uint16_t get16(std::span<const std::uint8_t> bytes, std::size_t at) {
    return static_cast<std::uint16_t>(bytes[at] << 8 | bytes[at + 1]);
}

// Writes the packet's final length into bytes 1-2.
Bytes& sealed(Bytes& packet) {
    packet[1] = static_cast<std::uint8_t>(packet.size() >> 8);
    packet[2] = static_cast<std::uint8_t>(packet.size());
    return packet;
}

Bytes connectPacket(std::uint8_t opcode, std::uint16_t maxPacket) {
    Bytes packet{opcode, 0, 0, kVersion, 0x00};
    put16(packet, maxPacket);
    return sealed(packet);
}

std::u16string readUtf16(std::span<const std::uint8_t> bytes) {
    std::u16string text;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        char16_t unit = static_cast<char16_t>(bytes[i] << 8 | bytes[i + 1]);
        if (unit == 0) break;
        text.push_back(unit);
    }
    return text;
}

// The length of the header starting at `at`, from its kind (the top two bits
// of its identifier): 0 when it does not fit in the packet.
std::size_t headerLength(std::span<const std::uint8_t> packet, std::size_t at) {
    std::size_t left = packet.size() - at;
    switch (packet[at] & 0xC0) {
    case 0x80: return left >= 2 ? 2 : 0;
    case 0xC0: return left >= 5 ? 5 : 0;
    default: {
        if (left < 3) return 0;
        std::size_t length = get16(packet, at + 1);
        return length >= 3 && length <= left ? length : 0;
    }
    }
}

void readHeader(std::span<const std::uint8_t> header, PutContents& contents) {
    // One-byte and four-byte headers have no length field; the two text and
    // byte-sequence kinds have one (a 5-byte Body holds two data bytes).
    bool fixedSize = (header[0] & 0x80) != 0;
    auto value = header.subspan(fixedSize ? 1 : 3);
    switch (header[0]) {
    case HdrName: contents.name = readUtf16(value); break;
    case HdrLength:
        contents.totalSize = std::uint32_t(value[0]) << 24 | std::uint32_t(value[1]) << 16 |
                             std::uint32_t(value[2]) << 8 | value[3];
        break;
    case HdrBody: contents.body = value; break;
    case HdrEndOfBody:
        contents.body = value;
        contents.endOfBody = true;
        break;
    default: break;  // Description, Type and the rest are stepped over
    }
}

}  // namespace

Bytes connectRequest() { return connectPacket(OpConnect, kSenderMaxPacket); }
Bytes connectReply() { return connectPacket(RespSuccess, kReceiverMaxPacket); }
Bytes response(std::uint8_t code) { return Bytes{code, 0, 3}; }
Bytes disconnectRequest() { return Bytes{OpDisconnect, 0, 3}; }

Bytes firstPut(const std::u16string& name, std::optional<std::uint32_t> totalSize) {
    Bytes packet{OpPut, 0, 0, HdrName};
    put16(packet, (name.size() + 1) * 2 + 3);
    for (char16_t unit : name) put16(packet, unit);
    put16(packet, 0);
    if (totalSize) {
        packet.push_back(HdrLength);
        for (int shift = 24; shift >= 0; shift -= 8)
            packet.push_back(static_cast<std::uint8_t>(*totalSize >> shift));
    }
    return sealed(packet);
}

Bytes bodyPut(std::span<const std::uint8_t> data, bool last) {
    Bytes packet{last ? OpPutFinal : OpPut, 0, 0, last ? HdrEndOfBody : HdrBody};
    put16(packet, data.size() + 3);
    packet.insert(packet.end(), data.begin(), data.end());
    return sealed(packet);
}

std::uint16_t packetLength(std::span<const std::uint8_t> head) { return get16(head, 1); }

std::size_t bodyBlockFor(std::uint16_t peerMaxPacket) {
    std::size_t usable = std::max(peerMaxPacket, kSmallestMaxPacket) - kBodyPutOverhead;
    return std::min(kBodyBlock, usable);
}

PutParse parsePut(std::span<const std::uint8_t> packet) {
    PutParse parse;
    if (packet.size() < kPacketHead || packetLength(packet) != packet.size()) return parse;
    for (std::size_t at = kPacketHead; at < packet.size();) {
        std::size_t length = headerLength(packet, at);
        if (length == 0) return parse;
        readHeader(packet.subspan(at, length), parse.contents);
        at += length;
    }
    parse.ok = true;
    return parse;
}

}  // namespace fotrix::obex
