#pragma once
// OBEX packets as the sender and receiver put them on the wire: an opcode
// byte, the 16-bit big-endian total length, then fields and headers.
// Plain code with no user interface, shared by the program and fotrix-cli.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace fotrix::obex {

using Bytes = std::vector<std::uint8_t>;

enum Opcode : std::uint8_t {
    OpPut = 0x02,
    OpConnect = 0x80,
    OpDisconnect = 0x81,
    OpPutFinal = 0x82,
};

enum Response : std::uint8_t {
    RespContinue = 0x90,
    RespSuccess = 0xA0,
    RespBadRequest = 0xC0,
    RespForbidden = 0xC3,
    RespNotAcceptable = 0xC6,
    RespLengthRequired = 0xCB,
    RespRequestTooLarge = 0xCD,
    RespInternalError = 0xD0,
};

enum Header : std::uint8_t {
    HdrName = 0x01,         // UTF-16 big-endian text with a terminating zero
    HdrDescription = 0x05,  // UTF-16 text
    HdrType = 0x42,         // byte sequence
    HdrBody = 0x48,
    HdrEndOfBody = 0x49,
    HdrLength = 0xC3,       // four-byte total size of the object
};

constexpr std::uint8_t kVersion = 0x10;
constexpr std::uint16_t kSenderMaxPacket = 0x0800;
// The receiver announces what it takes: the sender's 1024-byte body blocks
// make 1030-byte packets, which a peer that keeps to an announced 0x0400 would
// never send.
constexpr std::uint16_t kReceiverMaxPacket = 0x0800;
constexpr std::uint16_t kSmallestMaxPacket = 255;  // no OBEX peer may announce less
constexpr std::size_t kBodyBlock = 1024;  // data bytes in one body PUT
constexpr std::size_t kPacketHead = 3;    // opcode + length
constexpr std::size_t kBodyPutOverhead = 6;  // packet head and Body header head

// Data bytes of one body PUT to a peer that announced `peerMaxPacket`: 1024,
// or less when the peer takes smaller packets.
std::size_t bodyBlockFor(std::uint16_t peerMaxPacket);

Bytes connectRequest();
Bytes connectReply();
Bytes response(std::uint8_t code);
Bytes disconnectRequest();
// The first PUT: the Name header and, when known, the Length header.
Bytes firstPut(const std::u16string& name, std::optional<std::uint32_t> totalSize);
// A body PUT (0x02 with a Body header) or the last PUT (0x82 with End of Body).
Bytes bodyPut(std::span<const std::uint8_t> data, bool last);

// Reads the 16-bit total length of a packet from its first three bytes.
std::uint16_t packetLength(std::span<const std::uint8_t> head);

// What a PUT packet carries, read with every header length checked against
// the packet: a header that runs past the packet end makes the parse fail.
struct PutContents {
    std::optional<std::u16string> name;
    std::optional<std::uint32_t> totalSize;
    std::span<const std::uint8_t> body;
    bool endOfBody = false;
};
struct PutParse {
    bool ok = false;
    PutContents contents;
};
PutParse parsePut(std::span<const std::uint8_t> packet);

}  // namespace fotrix::obex
