"""Runs the staged viewer serving its live view on loopback, for the tests that talk to it as a browser does.

The viewer is started on port 0 (the system chooses), with its own scratch profile and picture folder, and
is stopped with SIGTERM, which must end it cleanly (exit 0). No viewer outlives the test: the viewer is
killed when the test process dies, and a viewer that does not stop in time is killed and reported.
"""

import ctypes
import json
import os
import re
import signal
import subprocess
import tempfile
import threading
import time
import traceback
import urllib.error
import urllib.request

# Exit code CTest takes as "skipped" (SKIP_RETURN_CODE).
SKIP = 77

_SERVING = re.compile(r"^serving: (http://([0-9.]+|\[[0-9a-fA-F:]+\]|[A-Za-z0-9.-]+):([0-9]+)/)\s*$")
_PR_SET_PDEATHSIG = 1


def _die_with_parent():
    # Runs in the child before exec: the kernel sends SIGTERM to the viewer when the test process dies.
    ctypes.CDLL("libc.so.6", use_errno=True).prctl(_PR_SET_PDEATHSIG, signal.SIGTERM, 0, 0, 0)


def radar_config(folder, warmup_seconds=1, source_ini=None):
    """Writes a replay radar INI into `folder`: the given one with its capture named by absolute path and
    the warm-up set; returns its path."""
    lines = []
    base = os.path.dirname(os.path.abspath(source_ini))
    with open(source_ini, encoding="utf-8") as given:
        for line in given:
            key = line.split("=", 1)[0].strip()
            if key == "Capture":
                capture = line.split("=", 1)[1].split(";", 1)[0].strip()
                line = "Capture = " + os.path.normpath(os.path.join(base, capture)) + "\n"
            elif key == "WarmupSeconds":
                line = "WarmupSeconds = %d\n" % warmup_seconds
            lines.append(line)
    path = os.path.join(folder, "radar.ini")
    with open(path, "w", encoding="utf-8") as written:
        written.writelines(lines)
    return path


class LiveViewer:
    """A viewer serving on 127.0.0.1:<free port>. Use as a context manager; `stop()` returns the exit code."""

    def __init__(self, viewer, radar_ini, arguments=(), start_timeout=60.0, warmup_seconds=None, slowness=1.0):
        # `slowness` stretches every wait (a sanitizer build runs several times slower).
        self.slowness = slowness
        self.viewer = os.path.abspath(viewer)
        self.radar_ini = os.path.abspath(radar_ini)
        self.arguments = list(arguments)
        self.start_timeout = start_timeout
        self.warmup_seconds = warmup_seconds
        self.folder = None
        self.process = None
        self.url = None
        self.host = None
        self.port = None
        self._lines = []
        self._lines_lock = threading.Lock()
        self._serving = threading.Event()
        self._reader = None

    # -- starting and stopping ---------------------------------------------------------------------------

    def start(self):
        self._scratch = tempfile.TemporaryDirectory(prefix="live-viewer-")
        self.folder = self._scratch.name
        ini = self.radar_ini
        if self.warmup_seconds is not None:
            ini = radar_config(self.folder, self.warmup_seconds, self.radar_ini)
        command = [self.viewer, "--serve", "127.0.0.1:0", "--radar-config", ini,
                   "--profile", os.path.join(self.folder, "profile.ini"),
                   "--output", os.path.join(self.folder, "pictures")] + self.arguments
        self._errors = open(os.path.join(self.folder, "stderr.txt"), "w+b")
        self.process = subprocess.Popen(command, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                                        stderr=self._errors, cwd=os.path.dirname(self.viewer),
                                        preexec_fn=_die_with_parent)
        # Standard output is read all along, so that the viewer never blocks on a full pipe.
        self._reader = threading.Thread(target=self._read_output, daemon=True)
        self._reader.start()
        deadline = time.monotonic() + self.start_timeout * self.slowness
        while not self._serving.wait(0.1):
            if self.process.poll() is not None:
                self._reader.join(5)
                raise RuntimeError("the viewer ended (exit %s) before serving:\n%s" %
                                   (self.process.returncode, self.output()))
            if time.monotonic() > deadline:
                self.kill()
                raise RuntimeError("the viewer printed no 'serving:' line within %.0f s:\n%s" %
                                   (self.start_timeout, self.output()))
        return self

    def _read_output(self):
        for raw in iter(self.process.stdout.readline, b""):
            line = raw.decode("utf-8", "replace").rstrip("\n")
            with self._lines_lock:
                self._lines.append(line)
            match = _SERVING.match(line)
            if match and not self._serving.is_set():
                self.url, self.host, self.port = match.group(1), match.group(2), int(match.group(3))
                self._serving.set()
        self.process.stdout.close()

    def stop(self, timeout=30.0):
        """SIGTERM, then waits; returns the exit code. A viewer still running after `timeout` is killed and
        reported as a failure."""
        if self.process is None:
            return None
        timeout *= self.slowness
        if self.process.poll() is None:
            self.process.send_signal(signal.SIGTERM)
            try:
                self.process.wait(timeout)
            except subprocess.TimeoutExpired:
                self.kill()
                raise RuntimeError("the viewer did not stop within %.0f s of SIGTERM" % timeout)
        if self._reader is not None:
            self._reader.join(5)
        return self.process.returncode

    def kill(self):
        if self.process is not None and self.process.poll() is None:
            self.process.kill()
            self.process.wait()

    def close(self):
        self.kill()
        if self._reader is not None:
            self._reader.join(5)
        if getattr(self, "_errors", None):
            self._errors.close()
        if getattr(self, "_scratch", None):
            self._scratch.cleanup()

    def __enter__(self):
        try:
            return self.start()
        except BaseException:
            self.close()
            raise

    def __exit__(self, kind, value, trace):
        try:
            if kind is None:
                code = self.stop()
                if code != 0:
                    raise AssertionError("the viewer's exit code after SIGTERM is %s, not 0:\n%s" %
                                         (code, self.output()))
        finally:
            self.close()
        return False

    # -- what it printed and what it uses -----------------------------------------------------------------

    def output(self):
        with self._lines_lock:
            printed = "\n".join(self._lines)
        errors = b""
        if getattr(self, "_errors", None) and not self._errors.closed:
            self._errors.flush()
            self._errors.seek(0)
            errors = self._errors.read()
        return "standard output:\n%s\nstandard error:\n%s" % (printed, errors.decode("utf-8", "replace"))

    def rss_kib(self):
        """The viewer's resident memory in KiB (VmRSS)."""
        with open("/proc/%d/status" % self.process.pid, encoding="ascii") as status:
            for line in status:
                if line.startswith("VmRSS:"):
                    return int(line.split()[1])
        raise RuntimeError("no VmRSS for the viewer")

    def cpu_seconds(self):
        """User and system CPU time the viewer has used so far, in seconds."""
        with open("/proc/%d/stat" % self.process.pid, encoding="ascii") as stat:
            fields = stat.read().rsplit(")", 1)[1].split()
        return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")

    # -- HTTP -------------------------------------------------------------------------------------------------

    def request(self, method, path, body=None, headers=None, timeout=10.0):
        """(status, headers, body bytes) of a request to the viewer; HTTP errors are returned, not raised."""
        data = None
        all_headers = dict(headers or {})
        if body is not None:
            data = body if isinstance(body, bytes) else json.dumps(body).encode("utf-8")
            all_headers.setdefault("Content-Type", "application/json")
        request = urllib.request.Request(self.url.rstrip("/") + path, data=data, method=method,
                                         headers=all_headers)
        # No proxy from the environment: only loopback is ever reached.
        opener = urllib.request.build_opener(urllib.request.ProxyHandler({}))
        try:
            with opener.open(request, timeout=timeout) as answer:
                return answer.status, dict(answer.headers), answer.read()
        except urllib.error.HTTPError as error:
            return error.code, dict(error.headers), error.read()

    def state(self):
        status, _, body = self.request("GET", "/api/state")
        if status != 200:
            raise AssertionError("GET /api/state answered %d: %r" % (status, body[:200]))
        return json.loads(body)

    def frame_png(self, view):
        """(frame number, PNG bytes) of the latest frame of `view`."""
        status, headers, body = self.request("GET", "/api/views/%d/frame.png" % view)
        if status != 200:
            raise AssertionError("GET frame.png of view %d answered %d: %r" % (view, status, body[:200]))
        frame = {name.lower(): value for name, value in headers.items()}.get("x-frame")
        if frame is None:
            raise AssertionError("frame.png of view %d came without X-Frame" % view)
        return int(frame), body

    def wait_for(self, condition, timeout, what, poll=0.2):
        """Polls `condition()` until it gives something true; returns it, or fails naming `what`."""
        timeout *= self.slowness
        deadline = time.monotonic() + timeout
        while True:
            value = condition()
            if value:
                return value
            if self.process.poll() is not None:
                raise AssertionError("the viewer ended (exit %s) while waiting for %s:\n%s" %
                                     (self.process.returncode, what, self.output()))
            if time.monotonic() > deadline:
                raise AssertionError("no %s within %.0f s" % (what, timeout))
            time.sleep(poll)


def arguments_from(argv):
    """The tests' own command line: --viewer FILE --radar-config FILE [--artefacts FOLDER] [--sanitized]
    (the viewer is a sanitizer build: slower, and holding freed memory for a while)."""
    import argparse
    parser = argparse.ArgumentParser()
    parser.add_argument("--viewer", required=True)
    parser.add_argument("--radar-config", required=True)
    parser.add_argument("--artefacts", default=tempfile.gettempdir())
    parser.add_argument("--sanitized", action="store_true")
    return parser.parse_args(argv)


def run_test(run, argv):
    """Runs a test's body with its command line's arguments: 0 when it passed, 1 with the traceback when it
    failed."""
    arguments = arguments_from(argv)
    try:
        run(arguments)
    except Exception:
        traceback.print_exc()
        return 1
    print("passed")
    return 0
