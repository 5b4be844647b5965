#!/usr/bin/env python3
"""The viewer page in a phone-sized headless Chromium, against the real server.

    viewer_in_chromium.py FIXTURE SCREENSHOT

FIXTURE is the viewer fixture program; SCREENSHOT is where the page's picture
is saved as PNG. Chromium is driven over the DevTools protocol on a pipe
(--remote-debugging-pipe), so nothing beyond Python's standard library and
Debian's chromium is needed. Exits 77 (skipped) when chromium is missing.

Checks, in order: a request under a wrong token gets 404 and a closed
connection; the page shows the moving picture (its image has the frames'
size, the picture's bright band moves, the page keeps polling, the rate
display shows a number) and the server counts the browser as a viewer; the
page's own fetch of a wrong token sees 404; once the fixture stops the server,
the page says it is reconnecting, and once the server is back on the same
address, the page shows the picture again.
"""

import base64
import ctypes
import json
import os
import re
import select
import shutil
import signal
import socket
import struct
import subprocess
import sys
import tempfile
import time

SKIPPED = 77
WHOLE_TEST_SECONDS = 90
TOKEN = "k7q2m9x4pz"
TOKEN_ONE_OFF = "k7q2m9x4py"
PICTURE_SIZE = (960, 540)  # the fixture's frames
PHONE_SIZE = (390, 844)  # CSS pixels
PHONE_PIXEL_RATIO = 3
RECONNECTING = "Lost the picture — reconnecting…"


class Failure(Exception):
    pass


class RefusedCommand(Failure):
    """Chromium answered a command with an error."""


def check(condition, what):
    if not condition:
        raise Failure(what)


def wait_for(what, seconds, probe, interval=0.1):
    """Polls probe() until it gives neither None nor False; fails after `seconds`."""
    deadline = time.monotonic() + seconds
    while True:
        found = probe()
        if found is not None and found is not False:
            return found
        if time.monotonic() >= deadline:
            raise Failure("%s: not within %d s" % (what, seconds))
        time.sleep(interval)


PR_SET_PDEATHSIG = 1
PR_SET_CHILD_SUBREAPER = 36


def prctl(option, value):
    ctypes.CDLL(None, use_errno=True).prctl(option, value)


def die_with_parent():
    """Run in a child before exec: it is killed when this script dies."""
    prctl(PR_SET_PDEATHSIG, signal.SIGKILL)


def children():
    """The processes whose parent is this script."""
    found = []
    for entry in os.listdir("/proc"):
        try:
            with open("/proc/%s/stat" % entry) as stat:
                # The parent is the second field after the parenthesised name.
                parent = int(stat.read().rsplit(")", 1)[1].split()[1])
        except (OSError, ValueError, IndexError):
            continue
        if parent == os.getpid():
            found.append(int(entry))
    return found


def end_orphans(seconds=10):
    """Ends and reaps what Chromium's processes left behind, which come to
    this script as their subreaper: nothing outlives the test, not even as a
    zombie."""
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        try:
            if os.waitpid(-1, os.WNOHANG) == (0, 0):
                for pid in children():
                    os.kill(pid, signal.SIGKILL)
                time.sleep(0.05)
        except ChildProcessError:
            return
        except ProcessLookupError:
            pass


class Fixture:
    """The fixture program, with its stdout read line by line, bounded."""

    def __init__(self, program):
        self.process = subprocess.Popen(
            [program, TOKEN], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
            preexec_fn=die_with_parent)
        self.pending = b""
        self.lines = []  # those not yet matched by wait_line
        self.said = []  # every line

    def read_available(self, timeout):
        ready, _, _ = select.select([self.process.stdout], [], [], timeout)
        if not ready:
            return
        chunk = os.read(self.process.stdout.fileno(), 4096)
        if not chunk:
            raise Failure("the fixture ended early (%s)" % self.process.poll())
        self.pending += chunk
        *complete, self.pending = self.pending.split(b"\n")
        self.lines += [line.decode() for line in complete]
        self.said += [line.decode() for line in complete]

    def wait_line(self, pattern, seconds):
        """The next line matching `pattern`, passing over the lines before it."""
        deadline = time.monotonic() + seconds
        while True:
            for at, line in enumerate(self.lines):
                match = re.fullmatch(pattern, line)
                if match:
                    del self.lines[:at + 1]
                    return match
            remaining = deadline - time.monotonic()
            if remaining <= 0:
                raise Failure("the fixture never said %r (said %r)" % (pattern, self.lines))
            self.read_available(remaining)

    def tell(self, command):
        self.process.stdin.write(command.encode() + b"\n")
        self.process.stdin.flush()

    def end(self):
        """Its exit status: 0 unless it failed, or a sanitizer found a fault."""
        if self.process.poll() is None:
            try:
                self.process.stdin.close()
                self.process.wait(timeout=10)
            except (OSError, subprocess.TimeoutExpired):
                self.process.kill()
                self.process.wait()
        return self.process.returncode


class Chromium:
    """Headless Chromium in a process group of its own, spoken to over fds 3 and 4."""

    def __init__(self, executable, profile, log):
        to_browser_read, self.to_browser = os.pipe()
        self.from_browser, from_browser_write = os.pipe()

        def connect_pipes():
            die_with_parent()
            # Moved out of the way first: the pipes may themselves be fds 3 or 4.
            reading = os.dup(to_browser_read)
            writing = os.dup(from_browser_write)
            os.dup2(reading, 3)
            os.dup2(writing, 4)

        self.process = subprocess.Popen(
            [executable, "--headless=new", "--no-sandbox", "--remote-debugging-pipe",
             "--user-data-dir=" + profile, "--window-size=%d,%d" % PHONE_SIZE,
             "--no-first-run", "--no-default-browser-check", "--disable-background-networking",
             "--disable-component-update", "--mute-audio", "about:blank"],
            stdin=subprocess.DEVNULL, stdout=log, stderr=log, pass_fds=(3, 4),
            preexec_fn=connect_pipes, start_new_session=True)
        os.close(to_browser_read)
        os.close(from_browser_write)
        self.received = b""
        self.next_id = 0
        self.session = None

    def call(self, method, params=None, seconds=20):
        self.next_id += 1
        message = {"id": self.next_id, "method": method, "params": params or {}}
        if self.session and not method.startswith(("Target.", "Browser.")):
            message["sessionId"] = self.session
        data = json.dumps(message).encode() + b"\0"
        while data:
            data = data[os.write(self.to_browser, data):]
        deadline = time.monotonic() + seconds
        while True:
            while b"\0" in self.received:
                raw, self.received = self.received.split(b"\0", 1)
                answer = json.loads(raw)
                if answer.get("id") != self.next_id:
                    continue  # an event, or nothing this script waits for
                if "error" in answer:
                    raise RefusedCommand("%s failed: %s" % (method, answer["error"]))
                return answer["result"]
            remaining = deadline - time.monotonic()
            ready, _, _ = select.select([self.from_browser], [], [], max(remaining, 0))
            if not ready:
                raise Failure("Chromium did not answer %s within %d s" % (method, seconds))
            chunk = os.read(self.from_browser, 1 << 16)
            if not chunk:
                raise Failure("Chromium closed its pipe (exit %s)" % self.process.poll())
            self.received += chunk

    def open_page(self, url):
        page = wait_for("Chromium's first tab", 10, lambda: next(
            (t for t in self.call("Target.getTargets")["targetInfos"] if t["type"] == "page"),
            None))
        self.session = self.call(
            "Target.attachToTarget", {"targetId": page["targetId"], "flatten": True})["sessionId"]
        # Headless windows have a floor on their width; a phone's viewport is
        # set on the page instead.
        width, height = PHONE_SIZE
        self.call("Emulation.setDeviceMetricsOverride", {
            "width": width, "height": height, "deviceScaleFactor": PHONE_PIXEL_RATIO,
            "mobile": True})
        self.call("Emulation.setTouchEmulationEnabled", {"enabled": True})
        self.call("Page.navigate", {"url": url})

    def evaluate(self, expression, await_promise=False):
        """The expression's value; None when it throws or the page is between
        documents (the viewer reloads itself)."""
        try:
            result = self.call("Runtime.evaluate", {
                "expression": expression, "returnByValue": True, "awaitPromise": await_promise})
        except RefusedCommand:
            return None
        if "exceptionDetails" in result:
            return None
        return result["result"].get("value")

    def end(self):
        try:
            self.call("Browser.close", seconds=5)
            self.process.wait(timeout=10)
        except (Failure, OSError, subprocess.TimeoutExpired):
            pass
        # Whatever Chromium started and left behind goes with its group.
        try:
            os.killpg(self.process.pid, signal.SIGKILL)
        except ProcessLookupError:
            pass
        self.process.wait()
        os.close(self.to_browser)
        os.close(self.from_browser)


# What the page shows, read from its elements; None on a page not the viewer.
PAGE_STATE = """(function () {
  var v = document.getElementById('v'), msg = document.getElementById('msg'),
      hud = document.getElementById('hud');
  if (!v || !msg || !hud) return null;
  return {width: v.naturalWidth, height: v.naturalHeight, src: v.getAttribute('src') || '',
          imageShown: getComputedStyle(v).display !== 'none',
          message: msg.textContent, messageShown: getComputedStyle(msg).display !== 'none',
          hud: hud.textContent, innerWidth: innerWidth, innerHeight: innerHeight};
})()"""

# Where the picture's bright band is along its top row, from the image the
# page holds; null while a new frame is still loading.
BAND_AT = """(function () {
  var v = document.getElementById('v');
  if (!v || !v.complete || !v.naturalWidth) return null;
  var canvas = document.createElement('canvas');
  canvas.width = v.naturalWidth;
  canvas.height = 1;
  var context = canvas.getContext('2d');
  context.drawImage(v, 0, 0);
  var row = context.getImageData(0, 0, canvas.width, 1).data;
  for (var x = 0; x < canvas.width; x++) {
    if (row[4 * x] > 200 && row[4 * x + 1] > 200 && row[4 * x + 2] > 200) return x;
  }
  return -1;
})()"""


def frames_polled(state):
    """The page's count of frames shown, from the query of its frame request."""
    match = re.search(r"/frame\.jpg\?(\d+)\.", state["src"]) if state else None
    return int(match.group(1)) if match else -1


def picture_shown(chromium):
    """The page's state once it shows a picture and no message."""
    state = chromium.evaluate(PAGE_STATE)
    if state and state["width"] > 0 and state["imageShown"] and not state["messageShown"]:
        return state
    return None


def rate_shown(chromium):
    state = chromium.evaluate(PAGE_STATE)
    return re.fullmatch(r"(\d+) fps", state["hud"]) if state else None


def reconnecting_shown(chromium):
    state = chromium.evaluate(PAGE_STATE)
    return bool(state) and state["messageShown"] and state["message"] == RECONNECTING


def answer_to_wrong_token(port, path):
    """The bytes the server sends for `path`, and whether it then closes."""
    with socket.create_connection(("127.0.0.1", port), timeout=10) as connection:
        connection.sendall(("GET %s HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n" % path).encode())
        received = b""
        try:
            while True:
                chunk = connection.recv(4096)
                if not chunk:
                    return received, True
                received += chunk
        except socket.timeout:
            return received, False


def check_wrong_tokens(port):
    for path in ("/" + TOKEN_ONE_OFF, "/" + TOKEN_ONE_OFF + "/frame.jpg", "/",
                 "/" + TOKEN + "x"):
        received, closed = answer_to_wrong_token(port, path)
        check(received.startswith(b"HTTP/1.1 404 "), "%s answered %r" % (path, received[:40]))
        check(closed, "%s: the connection stayed open" % path)


def png_size(path):
    with open(path, "rb") as png:
        head = png.read(24)
    check(head[:8] == b"\x89PNG\r\n\x1a\n", "the screenshot is not a PNG")
    return struct.unpack(">II", head[16:24])


def run(fixture_program, screenshot, chromium_executable, workdir):
    fixture = Fixture(fixture_program)
    chromium = None
    log_path = os.path.join(workdir, "chromium.log")
    try:
        port = int(fixture.wait_line(r"port (\d+)", 20).group(1))
        check_wrong_tokens(port)

        with open(log_path, "wb") as log:
            chromium = Chromium(chromium_executable, os.path.join(workdir, "profile"), log)
        chromium.open_page("http://127.0.0.1:%d/%s" % (port, TOKEN))

        state = wait_for("the first frame", 30, lambda: picture_shown(chromium))
        check((state["width"], state["height"]) == PICTURE_SIZE,
              "the picture is %dx%d" % (state["width"], state["height"]))
        check((state["innerWidth"], state["innerHeight"]) == PHONE_SIZE,
              "the window is %dx%d, not a phone's" % (state["innerWidth"], state["innerHeight"]))

        first_band = wait_for("the picture", 10, lambda: chromium.evaluate(BAND_AT))
        check(first_band >= 0, "the picture has no bright band: it is not the fixture's")
        wait_for("the band to move", 10,
                 lambda: chromium.evaluate(BAND_AT) not in (None, -1, first_band))
        first_count = frames_polled(state)
        wait_for("ten more frames", 10,
                 lambda: frames_polled(chromium.evaluate(PAGE_STATE)) >= first_count + 10)
        fixture.wait_line(r"viewers 1", 10)

        shot = chromium.call("Page.captureScreenshot", {"format": "png"})
        with open(screenshot, "wb") as png:
            png.write(base64.b64decode(shot["data"]))
        check(png_size(screenshot) == tuple(PHONE_PIXEL_RATIO * side for side in PHONE_SIZE),
              "the screenshot is %dx%d" % png_size(screenshot))

        status = chromium.evaluate("fetch('/%s').then(function (r) { return r.status; })"
                                   % TOKEN_ONE_OFF, await_promise=True)
        check(status == 404, "the page's fetch of a wrong token got %r" % status)

        # The rate display comes every 8 seconds after the page starts.
        rate = wait_for("the rate display", 20, lambda: rate_shown(chromium))
        check(int(rate.group(1)) > 0, "the rate display says %r" % rate.group(0))

        fixture.tell("stop")
        fixture.wait_line(r"stopped", 10)
        counts = [line for line in fixture.said if line.startswith("viewers ")]
        check(counts[-1] == "viewers 0", "the stopped server reported %r" % counts[-1])
        # The page's watchdog speaks after 8 quiet seconds and reloads after 15.
        wait_for("the reconnecting message", 20, lambda: reconnecting_shown(chromium))

        # The share comes back on the same address: the page picks up again.
        fixture.tell("start")
        fixture.wait_line(r"started", 10)
        wait_for("the picture after the restart", 20, lambda: picture_shown(chromium))
        fixture.wait_line(r"viewers 1", 10)
        status = fixture.end()
        check(status == 0, "the fixture ended with status %s" % status)
    except Failure:
        if os.path.exists(log_path):
            with open(log_path, "rb") as log:
                sys.stderr.write("--- Chromium's log (end) ---\n")
                sys.stderr.write(log.read()[-4000:].decode(errors="replace"))
        raise
    finally:
        if chromium:
            chromium.end()
        fixture.end()


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    chromium_executable = shutil.which("chromium")
    if not chromium_executable:
        print("chromium is not installed; skipped")
        return SKIPPED

    def give_up(signum, frame):
        raise Failure("the test did not finish within %d s" % WHOLE_TEST_SECONDS)

    def interrupted(signum, frame):
        raise SystemExit("ended by signal %d" % signum)

    signal.signal(signal.SIGALRM, give_up)
    signal.signal(signal.SIGTERM, interrupted)
    signal.signal(signal.SIGINT, interrupted)
    signal.alarm(WHOLE_TEST_SECONDS)
    prctl(PR_SET_CHILD_SUBREAPER, 1)
    started = time.monotonic()
    with tempfile.TemporaryDirectory(prefix="kd-viewer-") as workdir:
        try:
            run(sys.argv[1], sys.argv[2], chromium_executable, workdir)
        except Failure as failure:
            print("FAILED: %s" % failure, file=sys.stderr)
            return 1
        finally:
            signal.alarm(0)
            end_orphans()
    print("viewer page passed in Chromium in %.1f s" % (time.monotonic() - started))
    return 0


if __name__ == "__main__":
    sys.exit(main())
