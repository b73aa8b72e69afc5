// OBEX over TCP: the packets the sender puts on the wire, files moved intact
// between sender and receiver, and a receiver facing a hostile or stalled peer.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <thread>

#include "app/send/obex_discovery.h"
#include "app/send/obex_names.h"
#include "app/send/obex_packets.h"
#include "app/send/obex_transfer.h"

namespace fs = std::filesystem;
using namespace fotrix::obex;

namespace {

struct TempFolder {
    fs::path path;
    TempFolder() {
        path = fs::temp_directory_path() / ("fotrix-obex-" + std::to_string(::getpid()) + "-" +
                                            std::to_string(std::random_device{}()));
        fs::create_directories(path);
    }
    ~TempFolder() { fs::remove_all(path); }
};

Bytes randomBytes(std::size_t size, unsigned seed) {
    std::mt19937 generator(seed);
    Bytes bytes(size);
    for (auto& byte : bytes) byte = static_cast<std::uint8_t>(generator());
    return bytes;
}

void writeFile(const fs::path& path, const Bytes& bytes) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
}

Bytes readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::string> entries(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

// A peer that accepts one connection, records every packet and answers as a
// well-behaved receiver does.
struct RecordingPeer {
    int error = 0;
    TcpListener listener{0, error};
    std::vector<Bytes> packets;
    std::thread thread;

    RecordingPeer() {
        thread = std::thread([this] {
            TcpStream stream = listener.accept(5000);
            while (stream.open()) {
                std::uint8_t head[3];
                if (stream.readExact(head, 2000)) break;
                Bytes packet(head, head + 3);
                packet.resize(packetLength(head));
                if (stream.readExact(std::span(packet).subspan(3), 2000)) break;
                packets.push_back(packet);
                Bytes reply = packet[0] == OpConnect ? connectReply()
                              : packet[0] == OpPut   ? response(RespContinue)
                                                     : response(RespSuccess);
                stream.writeAll(reply, 2000);
            }
        });
    }
    ~RecordingPeer() {
        if (thread.joinable()) thread.join();
    }
};

std::vector<Bytes> packetsSending(std::size_t size) {
    TempFolder folder;
    writeFile(folder.path / "pic.jpg", randomBytes(size, 7));
    RecordingPeer peer;
    SendOptions options;
    options.port = peer.listener.port();
    EXPECT_TRUE(sendFile(folder.path / "pic.jpg", options).ok);
    peer.thread.join();
    return peer.packets;
}

}  // namespace

TEST(SendObexWire, ConnectAndFirstPutCarryTheAgreedBytes) {
    auto packets = packetsSending(10);
    ASSERT_GE(packets.size(), 2u);
    EXPECT_EQ(packets[0], (Bytes{0x80, 0x00, 0x07, 0x10, 0x00, 0x08, 0x00}));
    // Name "pic.jpg" (7 units + zero = 16 bytes, header 19), then the Length header of 10.
    Bytes name{0x01, 0x00, 19};
    for (char c : std::string("pic.jpg")) name.insert(name.end(), {0x00, static_cast<std::uint8_t>(c)});
    name.insert(name.end(), {0x00, 0x00, 0xC3, 0x00, 0x00, 0x00, 10});
    Bytes expected{0x02, 0x00, static_cast<std::uint8_t>(3 + name.size())};
    expected.insert(expected.end(), name.begin(), name.end());
    EXPECT_EQ(packets[1], expected);
    EXPECT_EQ(packets.back(), (Bytes{0x81, 0x00, 0x03}));
}

TEST(SendObexWire, BodyPacketsFollowTheFileSize) {
    struct Case { std::size_t size; std::vector<std::size_t> bodies; std::size_t last; };
    for (Case c : {Case{2048, {1024, 1024}, 0}, Case{1500, {1024}, 476}, Case{0, {}, 0}}) {
        auto packets = packetsSending(c.size);
        // CONNECT, first PUT, bodies, last PUT, DISCONNECT
        ASSERT_EQ(packets.size(), 4 + c.bodies.size()) << c.size;
        for (std::size_t i = 0; i < c.bodies.size(); ++i) {
            const Bytes& body = packets[2 + i];
            EXPECT_EQ(body[0], 0x02);
            EXPECT_EQ(body[3], 0x48);
            EXPECT_EQ(body.size(), c.bodies[i] + 6);
            EXPECT_EQ(packetLength(body), body.size());
        }
        const Bytes& last = packets[2 + c.bodies.size()];
        EXPECT_EQ(last[0], 0x82) << c.size;
        EXPECT_EQ(last[3], 0x49);
        EXPECT_EQ(last.size(), c.last + 6) << c.size;
        EXPECT_EQ(std::size_t(last[4] << 8 | last[5]), c.last + 3);
    }
}

TEST(SendObexLoopback, FilesArriveIntactAndNeverOverwrite) {
    TempFolder source, target;
    int error = 0;
    TcpListener listener(0, error);
    ASSERT_TRUE(listener.open()) << error;
    ReceiveOptions receive;
    receive.folder = target.path;
    std::atomic<bool> cancel{false};
    for (std::size_t size : {0, 1, 2047, 2048, 2049, 300000}) {
        Bytes content = randomBytes(size, static_cast<unsigned>(size));
        writeFile(source.path / "same.bin", content);
        TransferResult received;
        std::thread receiver([&] { received = receiveFile(listener, receive, cancel); });
        SendOptions options;
        options.port = listener.port();
        TransferResult sent = sendFile(source.path / "same.bin", options);
        receiver.join();
        ASSERT_TRUE(sent.ok) << size << sent.message;
        ASSERT_TRUE(received.ok) << size << received.message;
        EXPECT_EQ(readFile(target.path / received.name), content) << size;
    }
    EXPECT_EQ(entries(target.path), (std::vector<std::string>{"same-1.bin", "same-2.bin", "same-3.bin",
                                                              "same-4.bin", "same-5.bin", "same.bin"}));
}

TEST(SendObexNames, ReceivedNamesLoseTheirPathAndHiddenDots) {
    EXPECT_EQ(sanitisedName(u"../../etc/passwd"), "passwd");
    EXPECT_EQ(sanitisedName(u"C:\\Photos\\a.jpg"), "a.jpg");
    EXPECT_EQ(sanitisedName(u".profile"), "profile");
    EXPECT_EQ(sanitisedName(u"a\nb.jpg"), "a_b.jpg");
    EXPECT_EQ(sanitisedName(u"\u00e9t\u00e9.jpg"), "\xc3\xa9t\xc3\xa9.jpg");
    EXPECT_EQ(sanitisedName(u".."), std::nullopt);
    EXPECT_EQ(sanitisedName(u"dir/"), std::nullopt);
    EXPECT_EQ(sanitisedName(u" . "), std::nullopt);
}

namespace {

// Runs a receiver on one connection and lets `script` talk to it as a raw peer.
struct HostileCase {
    TempFolder target;
    TransferResult result;

    template <typename Script>
    void run(Script script, int timeoutMs = 2000) {
        int error = 0;
        TcpListener listener(0, error);
        ReceiveOptions options;
        options.folder = target.path;
        options.timeoutMs = timeoutMs;
        options.maxTotal = 100000;
        std::thread receiver([&] {
            TcpStream stream = listener.accept(5000);
            result = receiveOn(stream, options);
        });
        TcpStream peer = connectTo("127.0.0.1", listener.port(), 2000, error);
        script(peer);
        receiver.join();
    }
};

std::uint8_t lastReply(TcpStream& peer) {
    std::uint8_t reply = 0;
    for (std::uint8_t head[3]; peer.readExact(head, 2000) == 0;) {
        reply = head[0];
        Bytes rest(packetLength(head) > 3 ? packetLength(head) - 3 : 0);
        if (peer.readExact(rest, 2000)) break;
    }
    return reply;
}

void send(TcpStream& peer, const Bytes& packet) { peer.writeAll(packet, 2000); }

}  // namespace

TEST(SendObexHostile, RefusalsAnswerWithTheRightCodeAndLeaveNoFile) {
    struct Case { const char* what; std::function<void(TcpStream&)> send; std::uint8_t reply; };
    Bytes hugeName = firstPut(std::u16string(400, u'a'), 10);
    Bytes overrun = firstPut(u"a.bin", 10);
    overrun[5] += 40;  // the Name header claims more bytes than the packet has
    Case cases[] = {
        {"name of only dots", [](TcpStream& p) { send(p, firstPut(u"..", 1)); }, RespForbidden},
        {"over-long name", [&](TcpStream& p) { send(p, hugeName); }, RespBadRequest},
        {"header past the packet", [&](TcpStream& p) { send(p, overrun); }, RespBadRequest},
        {"packet above the limit", [](TcpStream& p) { send(p, Bytes{0x02, 0x13, 0x88}); }, RespRequestTooLarge},
        {"too large a total", [](TcpStream& p) { send(p, firstPut(u"a.bin", 200000)); }, RespRequestTooLarge},
        {"shorter than announced",
         [](TcpStream& p) {
             send(p, firstPut(u"a.bin", 100));
             send(p, bodyPut(Bytes(10, 1), true));
         },
         RespBadRequest},
        {"longer than announced",
         [](TcpStream& p) {
             send(p, firstPut(u"a.bin", 5));
             send(p, bodyPut(Bytes(10, 1), true));
         },
         RespRequestTooLarge},
        {"body before a name", [](TcpStream& p) { send(p, bodyPut(Bytes(10, 1), true)); }, RespLengthRequired},
    };
    for (const Case& c : cases) {
        HostileCase hostile;
        hostile.run([&](TcpStream& peer) {
            send(peer, connectRequest());
            c.send(peer);
            EXPECT_EQ(lastReply(peer), c.reply) << c.what;
        });
        EXPECT_FALSE(hostile.result.ok) << c.what;
        EXPECT_TRUE(entries(hostile.target.path).empty()) << c.what;
    }
}

TEST(SendObexHostile, PathInNameStaysInTheTargetFolder) {
    HostileCase hostile;
    hostile.run([](TcpStream& peer) {
        send(peer, connectRequest());
        send(peer, firstPut(u"../../escape.jpg", 3));
        send(peer, bodyPut(Bytes{1, 2, 3}, true));
        send(peer, disconnectRequest());
        EXPECT_EQ(lastReply(peer), RespSuccess);
    });
    EXPECT_TRUE(hostile.result.ok) << hostile.result.message;
    EXPECT_EQ(entries(hostile.target.path), std::vector<std::string>{"escape.jpg"});
    EXPECT_FALSE(fs::exists(hostile.target.path.parent_path() / "escape.jpg"));
}

TEST(SendObexHostile, StalledOrVanishingSenderLeavesNoPartialFile) {
    for (bool vanish : {false, true}) {
        HostileCase hostile;
        auto started = std::chrono::steady_clock::now();
        hostile.run(
            [&](TcpStream& peer) {
                send(peer, connectRequest());
                send(peer, firstPut(u"half.jpg", 5000));
                send(peer, bodyPut(Bytes(1024, 9), false));
                if (vanish) peer.close();
                else std::this_thread::sleep_for(std::chrono::milliseconds(700));
            },
            300);
        EXPECT_FALSE(hostile.result.ok);
        // A vanished peer shows as a reset read or a broken pipe on the next reply.
        if (vanish) EXPECT_TRUE(hostile.result.error == ECONNRESET || hostile.result.error == EPIPE);
        else EXPECT_EQ(hostile.result.error, ETIMEDOUT);
        EXPECT_TRUE(entries(hostile.target.path).empty()) << vanish;
        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(3));
    }
}

TEST(SendObexSender, SilentReceiverTimesOutWithTheSendFailedMessage) {
    TempFolder folder;
    writeFile(folder.path / "a.bin", Bytes(10, 1));
    int error = 0;
    TcpListener silent(0, error);  // accepts in the kernel's backlog, never answers
    SendOptions options;
    options.port = silent.port();
    options.timeoutMs = 300;
    TransferResult result = sendFile(folder.path / "a.bin", options);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.error, ETIMEDOUT);
    EXPECT_EQ(result.message, "send failed. Error: " + std::to_string(ETIMEDOUT));
}

TEST(SendObexDiscovery, ConfiguredPeersAreReadByName) {
    auto peers = parsePeers(" Camera = 10.0.0.7:7000 ; phone=192.168.1.2;; 127.0.0.1 ;bad=host:99999", 650);
    ASSERT_EQ(peers.size(), 3u);
    EXPECT_EQ(peers[0].name, "Camera");
    EXPECT_EQ(peers[0].host, "10.0.0.7");
    EXPECT_EQ(peers[0].port, 7000);
    EXPECT_EQ(peers[1].name, "phone");
    EXPECT_EQ(peers[1].port, 650);
    EXPECT_EQ(peers[2].name, "127.0.0.1");  // no name: known by its host
    EXPECT_TRUE(parsePeers("", 650).empty());
}

TEST(SendObexDiscovery, OnlyReceiversThatAnswerAreListedAndTheReceiverWaitsOn) {
    TempFolder source, target;
    writeFile(source.path / "a.bin", Bytes{1, 2, 3});
    int error = 0;
    TcpListener receiving(0, error);
    TcpListener silent(0, error);  // takes connections, never answers
    ReceiveOptions receive;
    receive.folder = target.path;
    std::atomic<bool> cancel{false};
    TransferResult received;
    std::thread receiver([&] { received = receiveFile(receiving, receive, cancel); });

    std::vector<Device> candidates{{"here", "127.0.0.1", receiving.port()},
                                   {"mute", "127.0.0.1", silent.port()}};
    auto found = discoverDevices(candidates, 300);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].name, "here");
    // The probe was no transfer: the same receiver still takes the file.
    SendOptions options;
    options.port = receiving.port();
    EXPECT_TRUE(sendFile(source.path / "a.bin", options).ok);
    receiver.join();
    EXPECT_TRUE(received.ok) << received.message;
    EXPECT_EQ(entries(target.path), std::vector<std::string>{"a.bin"});
}

TEST(SendObexHostile, DisconnectWithoutAFileGetsOneSuccessReply) {
    HostileCase hostile;
    hostile.run([](TcpStream& peer) {
        send(peer, connectRequest());
        send(peer, disconnectRequest());
        Bytes connect(7), reply(3), more(1);
        ASSERT_EQ(peer.readExact(connect, 2000), 0);
        ASSERT_EQ(peer.readExact(reply, 2000), 0);
        EXPECT_EQ(reply[0], RespSuccess);
        // Nothing follows the one reply: the receiver has closed.
        EXPECT_EQ(peer.readExact(more, 2000), ECONNRESET);
    });
    EXPECT_FALSE(hostile.result.ok);
    EXPECT_TRUE(entries(hostile.target.path).empty());
}

TEST(SendObexSender, ConnectionIsRetriedWhileRefused) {
    TempFolder source, target;
    writeFile(source.path / "late.bin", Bytes(3000, 5));
    std::uint16_t port = 0;
    {
        int error = 0;
        TcpListener probe(0, error);
        port = probe.port();
    }  // closed again: the first attempts are refused
    TransferResult received;
    std::thread receiver([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(450));
        int error = 0;
        TcpListener late(port, error);
        ReceiveOptions receive;
        receive.folder = target.path;
        std::atomic<bool> cancel{false};
        received = receiveFile(late, receive, cancel);
    });
    SendOptions options;
    options.port = port;
    options.connectAttempts = 10;
    TransferResult sent = sendFile(source.path / "late.bin", options);
    receiver.join();
    EXPECT_TRUE(sent.ok) << sent.message;
    EXPECT_TRUE(received.ok) << received.message;

    options.connectAttempts = 1;  // nobody listens now: one refusal ends it
    TransferResult refused = sendFile(source.path / "late.bin", options);
    EXPECT_EQ(refused.error, ECONNREFUSED);
}

TEST(SendObexHostile, ASecondFileInOneSessionIsRefusedAndTheFirstKept) {
    HostileCase hostile;
    hostile.run([](TcpStream& peer) {
        send(peer, connectRequest());
        send(peer, firstPut(u"one.jpg", 2));
        send(peer, bodyPut(Bytes{1, 2}, true));
        send(peer, firstPut(u"two.jpg", 2));
        EXPECT_EQ(lastReply(peer), RespForbidden);
    });
    EXPECT_TRUE(hostile.result.ok) << hostile.result.message;
    EXPECT_EQ(hostile.result.name, "one.jpg");
    EXPECT_EQ(entries(hostile.target.path), std::vector<std::string>{"one.jpg"});
}

// Found by the session fuzz target: a refusal after the file was stored
// reported a failure while the file stayed in the folder.
TEST(SendObexHostile, ARefusedPacketAfterTheFileKeepsItReported) {
    HostileCase hostile;
    hostile.run([](TcpStream& peer) {
        send(peer, connectRequest());
        send(peer, firstPut(u"one.jpg", 2));
        send(peer, bodyPut(Bytes{1, 2}, true));
        send(peer, Bytes{0x02, 0x13, 0x88});  // a packet above the limit
        EXPECT_EQ(lastReply(peer), RespRequestTooLarge);
    });
    EXPECT_TRUE(hostile.result.ok) << hostile.result.message;
    EXPECT_EQ(hostile.result.name, "one.jpg");
    EXPECT_EQ(entries(hostile.target.path), std::vector<std::string>{"one.jpg"});
}

TEST(SendObexPackets, HeadersAreReadByTheirKindNotTheirSize) {
    // A 5-byte Body (two data bytes) is no four-byte header; a one-byte header
    // (kind 0x80) and a four-byte one (0xC0) before it are stepped over.
    Bytes packet{OpPutFinal, 0x00, 0x00, 0x93, 0x07, 0xC4, 1, 2, 3, 4, HdrEndOfBody, 0x00, 0x05, 'h', 'i'};
    packet[2] = static_cast<std::uint8_t>(packet.size());
    PutParse parse = parsePut(packet);
    ASSERT_TRUE(parse.ok);
    EXPECT_TRUE(parse.contents.endOfBody);
    EXPECT_EQ(Bytes(parse.contents.body.begin(), parse.contents.body.end()), (Bytes{'h', 'i'}));
    EXPECT_FALSE(parse.contents.totalSize);

    Bytes name{OpPut, 0x00, 0x00, HdrName, 0x00, 0x05, 0x00, 'x'};  // one unit, no terminating zero
    name[2] = static_cast<std::uint8_t>(name.size());
    parse = parsePut(name);
    ASSERT_TRUE(parse.ok);
    EXPECT_EQ(parse.contents.name, std::u16string(u"x"));
}
