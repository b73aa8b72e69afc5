#!/usr/bin/env python3
"""Reads the one message in a Maildir++ folder with Python's mailbox and email
packages and compares it with what the test expects.

usage: send_mail_check.py MAILDIR FOLDER TO SUBJECT BODY [NAME=FILE ...]

FOLDER is the subfolder ("outbox", "sent"); TO the recipients joined by ", ";
each NAME=FILE is an attachment whose decoded bytes must equal FILE's.
"""
import email
import email.policy
import mailbox
import sys


def main():
    root, folder, to, subject, body = sys.argv[1:6]
    expected = [arg.rsplit("=", 1) for arg in sys.argv[6:]]  # names may hold "="
    box = mailbox.Maildir(root, factory=None, create=False).get_folder(folder)
    keys = box.keys()
    assert len(keys) == 1, f"{len(keys)} messages in {folder}"
    message = email.message_from_bytes(box.get_bytes(keys[0]), policy=email.policy.default)
    addresses = [a.addr_spec for a in message["To"].addresses] if message["To"] else []
    assert ", ".join(addresses) == to, f"To: {addresses}"
    assert message["Subject"] == subject, f"Subject: {message['Subject']!r}"
    assert message["From"] and message["Date"] and message["Message-ID"], "From, Date or Message-ID missing"
    assert message["Date"].datetime is not None, "Date does not parse"
    parts = list(message.iter_parts())
    text = parts[0].get_content()
    assert text.strip() == body, f"body: {text!r}"
    attachments = [p for p in parts[1:] if p.get_content_disposition() == "attachment"]
    assert len(attachments) == len(expected), f"{len(attachments)} attachments"
    for part, (name, path) in zip(attachments, expected):
        assert part.get_filename() == name, f"file name {part.get_filename()!r}, expected {name!r}"
        with open(path, "rb") as f:
            assert part.get_content() == f.read(), f"{name} differs from {path}"
    print("ok")


if __name__ == "__main__":
    main()
