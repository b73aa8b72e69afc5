"""An OBEX peer over TCP for the transfer tests, written from the IrOBEX
protocol description rather than from the program's own code: packets are an
opcode (or response code) byte, a 16-bit big-endian length covering the whole
packet, then fields and headers. A header's identifier tells its kind by its
top two bits: 00 Unicode text and 01 bytes (each with a 16-bit length that
counts the identifier and itself), 10 one byte, 11 four bytes.

The peer can receive (recording every packet it is sent) and can act as a
sender that breaks the rules on purpose.
"""

import hashlib
import os
import socket
import struct
import threading

CONNECT, DISCONNECT, PUT, PUT_FINAL = 0x80, 0x81, 0x02, 0x82
CONTINUE, SUCCESS = 0x90, 0xA0
BAD_REQUEST, FORBIDDEN, LENGTH_REQUIRED, TOO_LARGE, INTERNAL = 0xC0, 0xC3, 0xCB, 0xCD, 0xD0
NAME, LENGTH, BODY, END_OF_BODY = 0x01, 0xC3, 0x48, 0x49


def packet(code, payload=b""):
    return struct.pack(">BH", code, 3 + len(payload)) + payload


def connect_request(max_packet=0x0800):
    return packet(CONNECT, struct.pack(">BBH", 0x10, 0x00, max_packet))


def text_header(hid, text):
    data = text.encode("utf-16-be") + b"\0\0"
    return struct.pack(">BH", hid, 3 + len(data)) + data


def bytes_header(hid, data):
    return struct.pack(">BH", hid, 3 + len(data)) + data


def u32_header(hid, value):
    return struct.pack(">BI", hid, value)


def first_put(name, length=None):
    headers = text_header(NAME, name)
    if length is not None:
        headers += u32_header(LENGTH, length)
    return packet(PUT, headers)


def body_put(data, last):
    if last:
        return packet(PUT_FINAL, bytes_header(END_OF_BODY, data))
    return packet(PUT, bytes_header(BODY, data))


def read_exact(sock, size):
    data = b""
    while len(data) < size:
        chunk = sock.recv(size - len(data))
        if not chunk:
            raise ConnectionError("peer closed")
        data += chunk
    return data


def read_packet(sock):
    head = read_exact(sock, 3)
    code, length = struct.unpack(">BH", head)
    if length < 3:
        raise ValueError("length below 3")
    return head + read_exact(sock, length - 3)


def headers_of(pkt):
    """The (identifier, value) pairs of a PUT packet; raises on a header that
    runs past the packet."""
    out, at = [], 3
    while at < len(pkt):
        hid = pkt[at]
        kind = hid & 0xC0
        if kind in (0x00, 0x40):
            (size,) = struct.unpack(">H", pkt[at + 1:at + 3])
            if size < 3 or at + size > len(pkt):
                raise ValueError("header past the packet")
            value = pkt[at + 3:at + size]
        elif kind == 0x80:
            size, value = 2, pkt[at + 1:at + 2]
        else:
            size, value = 5, pkt[at + 1:at + 5]
        if at + size > len(pkt):
            raise ValueError("header past the packet")
        if kind == 0x00:
            value = value.decode("utf-16-be").rstrip("\0")
        elif kind == 0xC0:
            (value,) = struct.unpack(">I", value)
        out.append((hid, value))
        at += size
    return out


class RecordingReceiver:
    """Accepts `connections` connections in turn on loopback and answers as a receiver does,
    keeping every packet. `mode`: "normal"; "silent" (accepts and never
    answers); "stall-after-connect" (answers CONNECT, then nothing)."""

    def __init__(self, mode="normal", folder=None, max_packet=0x0800, connections=1):
        self.mode = mode
        self.connections = connections
        self.folder = folder
        self.max_packet = max_packet
        self.packets = []
        self.stored = None
        self.listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
        self.listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
        self.listener.bind(("127.0.0.1", 0))
        self.listener.listen(4)
        self.listener.settimeout(15)
        self.port = self.listener.getsockname()[1]
        self.thread = threading.Thread(target=self._serve, daemon=True)
        self.thread.start()

    def _serve(self):
        try:
            for _ in range(self.connections):
                conn, _ = self.listener.accept()
                self._session(conn)
        except OSError:
            pass
        finally:
            self.listener.close()

    def _session(self, conn):
        conn.settimeout(15)
        name, body = None, b""
        try:
            while True:
                pkt = read_packet(conn)
                self.packets.append(pkt)
                code = pkt[0]
                if self.mode == "silent" or (self.mode == "stall-after-connect" and code != CONNECT):
                    continue
                if code == CONNECT:
                    conn.sendall(packet(SUCCESS, struct.pack(">BBH", 0x10, 0, self.max_packet)))
                elif code in (PUT, PUT_FINAL):
                    for hid, value in headers_of(pkt):
                        if hid == NAME:
                            name = value
                        elif hid in (BODY, END_OF_BODY):
                            body += value
                    conn.sendall(packet(SUCCESS if code == PUT_FINAL else CONTINUE))
                    if code == PUT_FINAL and self.folder and name:
                        self.stored = os.path.join(self.folder, os.path.basename(name))
                        with open(self.stored, "wb") as out:
                            out.write(body)
                elif code == DISCONNECT:
                    conn.sendall(packet(SUCCESS))
                    break
                else:
                    conn.sendall(packet(BAD_REQUEST))
        except (ConnectionError, OSError, ValueError):
            pass
        finally:
            conn.close()

    def join(self):
        self.thread.join(20)


class Sender:
    """A raw sender: writes packets as given and reads the replies."""

    def __init__(self, port, timeout=10):
        self.sock = socket.create_connection(("127.0.0.1", port), timeout=timeout)

    def send(self, data):
        self.sock.sendall(data)

    def reply(self):
        """The next reply's code, or None when the receiver closed."""
        try:
            return read_packet(self.sock)[0]
        except (ConnectionError, OSError):
            return None

    def exchange(self, data):
        self.send(data)
        return self.reply()

    def close(self):
        self.sock.close()


def sha256(path):
    digest = hashlib.sha256()
    with open(path, "rb") as data:
        for block in iter(lambda: data.read(1 << 20), b""):
            digest.update(block)
    return digest.hexdigest()
