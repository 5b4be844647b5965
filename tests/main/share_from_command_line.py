#!/usr/bin/env python3
"""`--share` end to end: the virtual display comes up on its own X screen,
its address is printed, a browser's requests get the page and JPEG frames
of what X programs draw there, a wrong token gets 404, and Ctrl+C stops it
all, the X screen included.

Usage: share_from_command_line.py KELVANE_DISPLAY
"""
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import urllib.error
import urllib.request

PATIENCE = 60  # seconds; only reached when something hangs


def fail(message, process=None):
    print(message, file=sys.stderr)
    if process:
        process.kill()
        print(process.stderr.read(), file=sys.stderr)
    sys.exit(1)


def get(url):
    with urllib.request.urlopen(url, timeout=10) as answer:
        return answer.status, answer.headers.get("Content-Type"), answer.read()


def main(program):
    config = tempfile.mkdtemp()
    environment = dict(os.environ, XDG_CONFIG_HOME=config)
    share = subprocess.Popen([program, "--share", "640x480"], env=environment, text=True,
                             stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    address = share.stdout.readline().strip()
    if not address.startswith("http://") or not address.endswith(":8765/" + address[-10:]):
        fail("no address line: %r" % address, share)
    # The first address may be on any interface; loopback reaches the same server.
    token = address.rsplit("/", 1)[1]
    local = "http://127.0.0.1:8765/" + token

    status, kind, page = get(local)
    if status != 200 or kind != "text/html; charset=utf-8" or b"<!DOCTYPE html>" not in page:
        fail("the page: %s %s" % (status, kind), share)

    deadline = time.monotonic() + PATIENCE
    frame = None
    while time.monotonic() < deadline and frame is None:
        try:
            status, kind, body = get(local + "/frame")
            if status == 200 and kind == "image/jpeg" and body.startswith(b"\xff\xd8"):
                frame = body
        except urllib.error.HTTPError as error:
            if error.code != 503:  # no frame yet
                fail("a frame: HTTP %d" % error.code, share)
        time.sleep(0.1)
    if frame is None:
        fail("no frame in %d s" % PATIENCE, share)

    wrong = local[:-1] + ("a" if token[-1] != "a" else "b")
    try:
        get(wrong + "/frame")
        fail("a wrong token was served", share)
    except urllib.error.HTTPError as error:
        if error.code != 404:
            fail("a wrong token: HTTP %d, wanted 404" % error.code, share)

    share.send_signal(signal.SIGINT)
    try:
        messages = share.communicate(timeout=PATIENCE)[1]
    except subprocess.TimeoutExpired:
        fail("Ctrl+C did not stop it", share)
    if share.returncode != 0:
        fail("exit status %d after Ctrl+C:\n%s" % (share.returncode, messages))
    displays = [line.split("X display ")[1].split()[0] for line in messages.splitlines()
                if "X display " in line]
    if shutil.which("Xvfb"):
        if not displays:
            fail("no X display was said:\n" + messages)
        socket = "/tmp/.X11-unix/X" + displays[0].lstrip(":")
        if os.path.exists(socket):
            fail("the X screen %s outlived the share" % displays[0])
    if "Sharing stopped." not in messages:
        fail("no goodbye:\n" + messages)


if __name__ == "__main__":
    main(sys.argv[1])
