"""Two `fotrix` processes, headless and driven by scripts, send a picture
from one browser to the other over OBEX on loopback; and the program's
transfer dialogs against the independent peer of obex_peer.py (a receiver
that answers CONNECT and then stalls, a sender that stops after the name).
Usage: obex_fotrix_test.py PATH/TO/fotrix [SCREENSHOT_DIR]
With SCREENSHOT_DIR the dialogs' screenshots are copied there."""

import os
import shutil
import socket
import struct
import subprocess
import sys
import tempfile
import threading
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import obex_peer as obex  # noqa: E402

FOTRIX = None
SHOTS = None
CMD_SELECT_ALL, CMD_SEND, CMD_RECEIVE = 4048, 4187, 4188


def write_bmp(path, width, height, seed):
    """A 24-bit BMP with a colour ramp, so the thumbnail shows something."""
    row = (width * 3 + 3) & ~3
    pixels = bytearray()
    for y in range(height):
        line = bytearray()
        for x in range(width):
            line += bytes(((x * 255 // width + seed) % 256, (y * 255 // height) % 256, (seed * 7) % 256))
        pixels += line + b"\0" * (row - len(line))
    header = struct.pack("<2sIHHI", b"BM", 54 + len(pixels), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    with open(path, "wb") as out:
        out.write(header + info + pixels)


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


def state_of(path):
    values, items = {}, []
    with open(path, encoding="utf-8") as lines:
        for line in lines:
            key, _, value = line.rstrip("\n").partition(": ")
            if key == "item":
                items.append(value)
            else:
                values.setdefault(key, value)
    return values, items


class Program:
    """One fotrix process with a registry, home and runtime folder of its own."""

    def __init__(self, work, name, folder, port, timeout_ms=3000, peers=""):
        self.root = os.path.join(work, name)
        self.folder = folder
        for sub in ("config", "home", "run"):
            os.makedirs(os.path.join(self.root, sub))
        os.chmod(os.path.join(self.root, "run"), 0o700)
        reg = ("REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Fotrix Pocket\\General]\n"
               "\"UseSplashScreen\"=dword:00000000\n\n"
               "[HKEY_CURRENT_USER\\Software\\Fotrix Pocket\\Infrared]\n"
               "\"Port\"=dword:%08x\n\"Timeout\"=dword:%08x\n\"Peers\"=\"%s\"\n") % (port, timeout_ms, peers)
        with open(os.path.join(self.root, "config", "user.reg"), "w") as out:
            out.write(reg)
        self.process = None

    def path(self, name):
        return os.path.join(self.root, name)

    def start(self, script):
        with open(self.path("script.txt"), "w") as out:
            out.write(script)
        env = dict(os.environ, FOTRIX_CONFIG_DIR=self.path("config"), FOTRIX_HOME=self.path("home"),
                   XDG_RUNTIME_DIR=self.path("run"), FOTRIX_CARDS="")
        self.process = subprocess.Popen([FOTRIX, self.folder, "--headless", "--screen", "240x320",
                                         "--script", self.path("script.txt")],
                                        cwd=self.root, env=env, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                                        text=True)

    def finish(self, timeout=60):
        try:
            out, err = self.process.communicate(timeout=timeout)
        except subprocess.TimeoutExpired:
            self.process.kill()
            out, err = self.process.communicate()
            raise AssertionError("fotrix did not end: " + err)
        return self.process.returncode, err

    def shot(self, name):
        path = self.path(name)
        if SHOTS and os.path.exists(path):
            shutil.copy(path, os.path.join(SHOTS, name))
        return path


def wait_until_listening(port, seconds=20):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        try:
            socket.create_connection(("127.0.0.1", port), timeout=1).close()
            return True
        except OSError:
            time.sleep(0.05)
    return False


class TwoPrograms(unittest.TestCase):
    def setUp(self):
        self.work = tempfile.mkdtemp(prefix="fotrix-obex-")
        self.outbox = os.path.join(self.work, "outbox")
        self.inbox = os.path.join(self.work, "inbox")
        os.makedirs(self.outbox)
        os.makedirs(self.inbox)
        write_bmp(os.path.join(self.outbox, "sunset.bmp"), 96, 64, 40)
        write_bmp(os.path.join(self.inbox, "already.bmp"), 64, 48, 200)

    def tearDown(self):
        shutil.rmtree(self.work, ignore_errors=True)

    def test_a_picture_goes_from_one_browser_to_the_other(self):
        port = free_port()
        receiver = Program(self.work, "receiver", self.inbox + "/", port)
        sender = Program(self.work, "sender", self.outbox + "/", port)
        receiver.start("command %d\nsleep 12000\nstate after.txt\nquit\n" % CMD_RECEIVE)
        self.assertTrue(wait_until_listening(port), "the receiving fotrix never listened")
        sender.start("command %d\ncommand %d\nsleep 4000\nstate after.txt\nquit\n" % (CMD_SELECT_ALL, CMD_SEND))
        code, err = sender.finish()
        self.assertEqual(code, 0, err)
        code, err = receiver.finish()
        self.assertEqual(code, 0, err)

        received = os.path.join(self.inbox, "sunset.bmp")
        self.assertEqual(obex.sha256(received), obex.sha256(os.path.join(self.outbox, "sunset.bmp")))
        self.assertEqual(sorted(os.listdir(self.inbox)), ["already.bmp", "sunset.bmp"])

        after, items = state_of(receiver.path("after.txt"))
        names = [item.split(" ", 1)[1].split(" | ")[0] for item in items]
        self.assertNotIn("Receive", after["top-window"])
        self.assertIn("sunset.bmp", names)
        self.assertEqual(after["selected"], str(names.index("sunset.bmp")), after)
        sent, _ = state_of(sender.path("after.txt"))
        self.assertEqual(sent.get("message", ""), "")
        self.assertNotIn("Send", sent["top-window"])

    def test_a_stalling_receiver_ends_in_the_send_failed_message(self):
        peer = obex.RecordingReceiver(mode="stall-after-connect", connections=2)  # the probe, then the send
        nobody = free_port()  # nothing answers on this machine; the configured peer does
        sender = Program(self.work, "sender", self.outbox + "/", nobody, timeout_ms=1500,
                         peers="Camera=127.0.0.1:%d" % peer.port)
        sender.start("command %d\ncommand %d\nsleep 800\nscreenshot send-progress.png\nstate sending.txt\n"
                     "sleep 3000\nscreenshot send-failed.png\nstate failed.txt\ndialog-command 1\nquit\n"
                     % (CMD_SELECT_ALL, CMD_SEND))
        code, err = sender.finish()
        self.assertEqual(code, 0, err)
        sender.shot("send-progress.png")
        sender.shot("send-failed.png")
        sending, _ = state_of(sender.path("sending.txt"))
        self.assertIn("Send", sending["top-window"])
        failed, _ = state_of(sender.path("failed.txt"))
        self.assertEqual(failed["message"], "send failed. Error: 110")
        # The peer saw the probe's CONNECT and DISCONNECT, then the send's CONNECT and first PUT.
        peer.join()
        self.assertEqual(peer.packets[0][0], obex.CONNECT)
        self.assertEqual(peer.packets[-1][0], obex.PUT)
        self.assertIn((obex.NAME, "sunset.bmp"), obex.headers_of(peer.packets[-1]))

    def test_no_receiver_in_reach_ends_quietly_after_searching(self):
        sender = Program(self.work, "sender", self.outbox + "/", free_port())
        sender.start("command %d\ncommand %d\nsleep 700\nscreenshot send-searching.png\nstate searching.txt\n"
                     "sleep 4000\nstate after.txt\nquit\n" % (CMD_SELECT_ALL, CMD_SEND))
        code, err = sender.finish()
        self.assertEqual(code, 0, err)
        sender.shot("send-searching.png")
        searching, _ = state_of(sender.path("searching.txt"))
        self.assertIn("Send", searching["top-window"])
        after, _ = state_of(sender.path("after.txt"))
        self.assertNotIn("Send", after["top-window"])
        self.assertEqual(after.get("message", ""), "")

    def test_a_sender_stopping_after_the_name_leaves_no_file_and_cancel_ends_the_wait(self):
        port = free_port()
        receiver = Program(self.work, "receiver", self.inbox + "/", port, timeout_ms=3000)
        receiver.start("command %d\nsleep 300\nscreenshot receive-waiting.png\nstate waiting.txt\n"
                       "sleep 1500\nscreenshot receive-progress.png\nstate receiving.txt\nsleep 1500\n"
                       "state still.txt\ndialog-command 2\nsleep 600\nstate after.txt\nquit\n" % CMD_RECEIVE)
        self.assertTrue(wait_until_listening(port))
        for _ in range(200):  # the waiting dialog is on record before the sender comes
            if os.path.exists(receiver.path("waiting.txt")):
                break
            time.sleep(0.05)
        stopper = obex.Sender(port)
        self.assertEqual(stopper.exchange(obex.connect_request()), obex.SUCCESS)
        self.assertEqual(stopper.exchange(obex.first_put("broken.jpg", 4000)), obex.CONTINUE)
        self.assertEqual(stopper.exchange(obex.body_put(b"x" * 1024, False)), obex.CONTINUE)
        time.sleep(0.3)
        listing = sorted(os.listdir(self.inbox))
        time.sleep(1.7)  # the receiver's screenshot falls in here
        stopper.close()
        code, err = receiver.finish()
        self.assertEqual(code, 0, err)
        receiver.shot("receive-waiting.png")
        receiver.shot("receive-progress.png")
        self.assertEqual(len(listing), 2, listing)  # already.bmp and the hidden partial file
        self.assertEqual(os.listdir(self.inbox), ["already.bmp"])
        for name in ("waiting.txt", "receiving.txt"):
            self.assertIn("Receive", state_of(receiver.path(name))[0]["top-window"])
        still, _ = state_of(receiver.path("still.txt"))
        self.assertIn("Receive", still["top-window"])  # the receiver waits on after the broken transfer
        after, _ = state_of(receiver.path("after.txt"))
        self.assertNotIn("Receive", after["top-window"])
        self.assertEqual(after.get("message", ""), "")


if __name__ == "__main__":
    FOTRIX = os.path.abspath(sys.argv.pop(1))
    if len(sys.argv) > 1:
        SHOTS = os.path.abspath(sys.argv.pop(1))
        os.makedirs(SHOTS, exist_ok=True)
    unittest.main(verbosity=2)
