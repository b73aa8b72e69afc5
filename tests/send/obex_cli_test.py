"""fotrix-cli send-obex and receive-obex as separate processes over loopback,
against each other and against the independent peer of obex_peer.py.
Usage: obex_cli_test.py PATH/TO/fotrix-cli"""

import os
import random
import shutil
import socket
import struct
import subprocess
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import obex_peer as obex  # noqa: E402

CLI = None


def write_random(path, size, seed):
    rng = random.Random(seed)
    with open(path, "wb") as out:
        left = size
        while left:
            block = min(left, 1 << 20)
            out.write(rng.randbytes(block))
            left -= block


class Receiver:
    """`fotrix-cli receive-obex DIR --port 0 ...` with the port it reports."""

    def __init__(self, folder, *extra, port=0):
        self.process = subprocess.Popen([CLI, "receive-obex", folder, "--port", str(port), *extra],
                                        stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
        line = self.process.stdout.readline()
        if not line.startswith("listening on port "):
            self.process.kill()
            raise OSError("receiver did not start: %r %r" % (line, self.process.stderr.read()))
        self.port = int(line.split()[-1])

    def finish(self, timeout=30):
        out, err = self.process.communicate(timeout=timeout)
        return self.process.returncode, out, err

    def kill(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.communicate()


def send(path, port, *extra, timeout=60):
    return subprocess.run([CLI, "send-obex", path, "127.0.0.1:%d" % port, *extra],
                          capture_output=True, text=True, timeout=timeout)


class WireRules(unittest.TestCase):
    """What send-obex puts on the wire, as the recording peer saw it."""

    def packets_for(self, size, max_packet=0x0800):
        with tempfile.TemporaryDirectory() as work:
            path = os.path.join(work, "pic.jpg")
            write_random(path, size, size)
            peer = obex.RecordingReceiver(max_packet=max_packet)
            result = send(path, peer.port)
            peer.join()
            self.assertEqual(result.returncode, 0, result.stderr)
            return peer.packets

    def test_block_sizes_follow_the_file_size(self):
        # (size, body PUT data sizes, last PUT data size)
        for size, bodies, last in ((2048, [1024, 1024], 0), (1500, [1024], 476), (1, [], 1)):
            with self.subTest(size=size):
                packets = self.packets_for(size)
                self.assertEqual(packets[0][0], obex.CONNECT)
                self.assertEqual(packets[0][3:], bytes([0x10, 0x00, 0x08, 0x00]))
                first = obex.headers_of(packets[1])
                self.assertEqual(packets[1][0], obex.PUT)
                self.assertIn((obex.NAME, "pic.jpg"), first)
                self.assertIn((obex.LENGTH, size), first)
                for i, expected in enumerate(bodies):
                    body = packets[2 + i]
                    self.assertEqual(body[0], obex.PUT)
                    self.assertEqual(obex.headers_of(body), [(obex.BODY, body[6:])])
                    self.assertEqual(len(body) - 6, expected)
                final = packets[2 + len(bodies)]
                self.assertEqual(final[0], obex.PUT_FINAL)
                self.assertEqual([h for h, _ in obex.headers_of(final)], [obex.END_OF_BODY])
                self.assertEqual(len(final) - 6, last)
                self.assertEqual(packets[3 + len(bodies)], bytes([obex.DISCONNECT, 0, 3]))
                self.assertEqual(len(packets), 4 + len(bodies))

    def test_packets_keep_to_the_size_the_receiver_announced(self):
        # A receiver of 0x0400-byte packets gets 1018 data bytes a body PUT.
        for max_packet, block in ((0x0400, 1018), (0x00FF, 249), (0xFFFF, 1024)):
            with self.subTest(max_packet=max_packet):
                packets = self.packets_for(2048, max_packet)
                self.assertTrue(all(len(p) <= max(max_packet, 255) for p in packets))
                bodies = [len(p) - 6 for p in packets[2:-2]]
                self.assertEqual(bodies, [block] * (2048 // block))
                self.assertEqual(len(packets[-2]) - 6, 2048 % block)

    def test_the_peer_stores_what_was_sent(self):
        with tempfile.TemporaryDirectory() as work, tempfile.TemporaryDirectory() as target:
            path = os.path.join(work, "photo.png")
            write_random(path, 5000, 3)
            peer = obex.RecordingReceiver(folder=target)
            result = send(path, peer.port)
            peer.join()
            self.assertEqual(result.returncode, 0, result.stderr)
            self.assertEqual(obex.sha256(peer.stored), obex.sha256(path))

    def test_a_receiver_that_never_answers_times_out(self):
        for mode in ("silent", "stall-after-connect"):
            with self.subTest(mode=mode), tempfile.TemporaryDirectory() as work:
                path = os.path.join(work, "a.bin")
                write_random(path, 10, 1)
                peer = obex.RecordingReceiver(mode=mode)
                started = time.monotonic()
                result = send(path, peer.port, "--timeout", "500")
                self.assertLess(time.monotonic() - started, 10)
                self.assertEqual(result.returncode, 1)
                self.assertEqual(result.stderr.strip(), "error: send failed. Error: 110")

    def test_nobody_listening_is_a_refused_connection(self):
        # A port that was bound and let go, never listened on: a listener
        # closed while its thread waits in accept() may still take the call.
        with socket.socket() as probe:
            probe.bind(("127.0.0.1", 0))
            port = probe.getsockname()[1]
        with tempfile.TemporaryDirectory() as work:
            path = os.path.join(work, "a.bin")
            write_random(path, 10, 1)
            result = send(path, port)
        self.assertEqual(result.returncode, 1)
        self.assertEqual(result.stderr.strip(), "error: send failed. Error: 111")


class Loopback(unittest.TestCase):
    """send-obex to receive-obex: every size arrives with the same checksum."""

    def test_sizes_arrive_intact(self):
        # 2 and 1026 bytes end in a 5-byte End of Body header, as long as a four-byte header.
        sizes = [0, 1, 2, 1026, 2047, 2048, 2049, 20 * 1024 * 1024]
        with tempfile.TemporaryDirectory() as work, tempfile.TemporaryDirectory() as target:
            for size in sizes:
                with self.subTest(size=size):
                    name = "file-%d.bin" % size
                    path = os.path.join(work, name)
                    write_random(path, size, size)
                    receiver = Receiver(target, "--once")
                    try:
                        result = send(path, receiver.port)
                        code, out, err = receiver.finish()
                    finally:
                        receiver.kill()
                    self.assertEqual(result.returncode, 0, result.stderr)
                    self.assertEqual(result.stdout.strip(), "sent " + name)
                    self.assertEqual(code, 0, err)
                    self.assertIn("received " + name, out)
                    self.assertEqual(os.path.getsize(os.path.join(target, name)), size)
                    self.assertEqual(obex.sha256(os.path.join(target, name)), obex.sha256(path))
            self.assertEqual(sorted(os.listdir(target)), sorted("file-%d.bin" % s for s in sizes))


class HostileSenders(unittest.TestCase):
    """receive-obex facing a sender that breaks the rules: the right OBEX error,
    nothing written outside DIR, no partial file, and the receiver still takes
    the next good file."""

    def setUp(self):
        self.outer = tempfile.TemporaryDirectory()
        self.target = os.path.join(self.outer.name, "inbox")
        os.mkdir(self.target)
        self.receiver = Receiver(self.target, "--once", "--timeout", "700")

    def tearDown(self):
        self.receiver.kill()
        self.outer.cleanup()

    def session(self):
        sender = obex.Sender(self.receiver.port)
        self.assertEqual(sender.exchange(obex.connect_request()), obex.SUCCESS)
        return sender

    def finish_with_good_file(self):
        sender = self.session()
        self.assertEqual(sender.exchange(obex.first_put("good.jpg", 3)), obex.CONTINUE)
        self.assertEqual(sender.exchange(obex.body_put(b"abc", True)), obex.SUCCESS)
        self.assertEqual(sender.exchange(obex.packet(obex.DISCONNECT)), obex.SUCCESS)
        sender.close()
        code, out, err = self.receiver.finish()
        self.assertEqual(code, 0, err)
        self.assertEqual(out.splitlines()[-1], "received good.jpg")

    def everything_in_outer(self):
        found = []
        for root, _, files in os.walk(self.outer.name):
            found += [os.path.relpath(os.path.join(root, f), self.outer.name) for f in files]
        return sorted(found)

    def test_refusals_get_the_right_code_and_leave_no_file(self):
        long_name = obex.packet(obex.PUT, obex.text_header(obex.NAME, "a" * 400) + obex.u32_header(obex.LENGTH, 4))
        overrun = bytearray(obex.first_put("a.bin", 4))
        overrun[5] += 50  # the Name header claims bytes the packet does not have
        cases = [
            ("over-long name", [long_name], obex.BAD_REQUEST),
            ("header past the packet", [bytes(overrun)], obex.BAD_REQUEST),
            ("name of dots", [obex.first_put("..", 4)], obex.FORBIDDEN),
            ("name of a slash", [obex.first_put("/", 4)], obex.FORBIDDEN),
            # Only the head goes out: the receiver refuses on the announced length alone.
            ("packet larger than agreed", [struct.pack(">BH", obex.PUT, 4102)], obex.TOO_LARGE),
            ("longer than announced", [obex.first_put("long.bin", 4), obex.body_put(b"123456789", True)],
             obex.TOO_LARGE),
            ("shorter than announced", [obex.first_put("short.bin", 400), obex.body_put(b"12", True)],
             obex.BAD_REQUEST),
            ("body before any name", [obex.body_put(b"12", True)], obex.LENGTH_REQUIRED),
        ]
        for what, packets, expected in cases:
            with self.subTest(what=what):
                sender = self.session()
                replies = [sender.exchange(p) for p in packets]
                self.assertEqual(replies[-1], expected)
                self.assertTrue(all(r == obex.CONTINUE for r in replies[:-1]), replies)
                sender.close()
                self.assertEqual(os.listdir(self.target), [])
        self.finish_with_good_file()
        self.assertEqual(self.everything_in_outer(), [os.path.join("inbox", "good.jpg")])

    def test_a_path_in_the_name_stays_in_the_folder(self):
        sender = self.session()
        self.assertEqual(sender.exchange(obex.first_put("../../x/../escape.jpg", 2)), obex.CONTINUE)
        self.assertEqual(sender.exchange(obex.body_put(b"hi", True)), obex.SUCCESS)
        sender.close()
        code, out, err = self.receiver.finish()
        self.assertEqual(code, 0, err)
        self.assertEqual(self.everything_in_outer(), [os.path.join("inbox", "escape.jpg")])

    def test_a_sender_stopping_mid_transfer_leaves_nothing(self):
        for stop in ("close", "stall"):
            with self.subTest(stop=stop):
                sender = self.session()
                self.assertEqual(sender.exchange(obex.first_put("half.jpg", 5000)), obex.CONTINUE)
                self.assertEqual(sender.exchange(obex.body_put(b"x" * 1024, False)), obex.CONTINUE)
                if stop == "close":
                    sender.send(obex.body_put(b"x" * 1024, False)[:500])
                    sender.close()
                    time.sleep(0.3)
                else:
                    time.sleep(1.2)  # past the receiver's 700 ms
                    sender.close()
                self.assertEqual(os.listdir(self.target), [])
        self.finish_with_good_file()


OBEX_TCP = shutil.which("obex_tcp")


@unittest.skipUnless(OBEX_TCP, "obex_tcp (openobex-apps) is not installed")
class OpenObex(unittest.TestCase):
    """Files exchanged with OpenOBEX's obex_tcp, an OBEX implementation of its
    own, which works on the well-known port 650 only: the tests skip when that
    port cannot be had (no right to bind it, or still taken from a run just before)."""

    def test_b_send_obex_to_obex_tcp(self):
        with tempfile.TemporaryDirectory() as work, tempfile.TemporaryDirectory() as target:
            path = os.path.join(work, "photo.jpg")
            write_random(path, 5000, 9)
            server = subprocess.Popen([OBEX_TCP], cwd=target, stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
            try:
                time.sleep(0.5)
                if server.poll() is not None:
                    self.skipTest("obex_tcp could not listen on port 650: %r" % server.stdout.read())
                result = send(path, 650)
                self.assertEqual(result.returncode, 0, result.stderr)
                self.assertEqual(obex.sha256(os.path.join(target, "photo.jpg")), obex.sha256(path))
            finally:
                server.kill()
                server.communicate()

    def test_a_obex_tcp_to_receive_obex(self):
        with tempfile.TemporaryDirectory() as work, tempfile.TemporaryDirectory() as target:
            path = os.path.join(work, "scan.png")
            write_random(path, 5000, 11)
            try:
                receiver = Receiver(target, "--once", port=650)
            except OSError as failure:
                self.skipTest(str(failure))
            try:
                client = subprocess.run([OBEX_TCP, "scan.png", "127.0.0.1"], cwd=work, capture_output=True,
                                        text=True, timeout=30)
                code, out, err = receiver.finish()
            finally:
                receiver.kill()
            self.assertIn("PUT successful", client.stdout)
            self.assertEqual(code, 0, err)
            self.assertEqual(obex.sha256(os.path.join(target, "scan.png")), obex.sha256(path))


if __name__ == "__main__":
    CLI = os.path.abspath(sys.argv.pop(1))
    unittest.main(verbosity=2)
