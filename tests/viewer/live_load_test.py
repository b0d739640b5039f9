#!/usr/bin/python3
"""Twenty WebSocket clients on loopback follow the live view of the replayed capture for 30 seconds, with one
more client that connects and never reads.

Every frame message each client gets must be whole (its tiles on the tile grid inside the view, each a PNG
whose chunks add up to it); the first clients draw the tiles as the page does, and the picture of one frame
number must be the same for each of them, of the view's size; each client must get frames at nearly the
repaint rate, in rising order; the viewer's memory must not grow after the first seconds; the API
must keep answering; and the viewer must still stop cleanly with the stalled client connected.

Exit 0: passed; 1: failed; 77: no WebSocket client or image library here (skipped).
"""

import hashlib
import io
import json
import os
import queue
import socket
import statistics
import struct
import sys
import threading
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
import live_viewer  # noqa: E402

try:
    import websocket
    from PIL import Image
except ImportError as missing:
    print("skipped: %s" % missing)
    sys.exit(live_viewer.SKIP)

CLIENTS = 20
SECONDS = 30.0
SETTLE_SECONDS = 6.0          # start-up and warm-up; rates and memory are judged after it
REPAINT_RATE = 10.0
LOWEST_REPAINT_RATE = 8.0     # the viewer's own frames a second while serving, at the least
LOWEST_CLIENT_SHARE = 0.8     # of the viewer's frames, each client must get at least this share
LOWEST_MEAN_SHARE = 0.85
# Resident memory the viewer may gain between the judged windows. A frame that stayed behind for every
# repaint (about 300 in the run, each some 100 KiB encoded and 4 MiB drawn) would add far more.
MEMORY_GROWTH_KIB = 16 * 1024
VIEW_SIZE = (1280, 800)
SANITIZED_VIEW_SIZE = (640, 400)


def png_whole(payload):
    """Whether `payload` is one whole PNG file: its signature, then chunks filling it exactly up to IEND."""
    if not payload.startswith(b"\x89PNG\r\n\x1a\n"):
        return False
    offset = 8
    while offset + 12 <= len(payload):
        size, kind = struct.unpack_from(">I4s", payload, offset)
        offset += 12 + size
        if kind == b"IEND":
            return offset == len(payload)
    return False


TILE = 64
DRAWING_CLIENTS = 3           # clients whose tiles are decoded and drawn; the others check the messages only


def frame_tiles(data):
    """(view, frame, width, height, [(left, top, png)]) of a frame message, or a text saying what is wrong."""
    if len(data) < 17:
        return "a frame message of %d bytes" % len(data)
    view = data[0]
    frame, width, height, count = struct.unpack_from(">IIII", data, 1)
    tiles, offset = [], 17
    for _ in range(count):
        if offset + 12 > len(data):
            return "view %d frame %d ends inside its tiles" % (view, frame)
        left, top, length = struct.unpack_from(">III", data, offset)
        payload = bytes(data[offset + 12:offset + 12 + length])
        offset += 12 + length
        if left % TILE or top % TILE or left >= width or top >= height or not png_whole(payload):
            return "view %d frame %d: a tile at %d,%d of %d bytes that is not whole or not on the grid" % (
                view, frame, left, top, len(payload))
        tiles.append((left, top, payload))
    if offset != len(data):
        return "view %d frame %d has %d bytes past its tiles" % (view, frame, len(data) - offset)
    return view, frame, width, height, tiles


class Pictures:
    """Draws the drawing clients' tiles as the page does, on a thread of its own, and keeps what was wrong:
    a tile that does not decode, a picture not of the view's size, one frame number as different pictures."""

    def __init__(self, size):
        self.size = size
        self.canvases = {}         # (client, view) -> picture
        self.digests = {}          # (view, frame) -> pixel digest
        self.lock = threading.Lock()
        self.work = queue.Queue()
        self.faults = []
        self.drawn = 0
        self.thread = threading.Thread(target=self._draw_all, daemon=True)
        self.thread.start()

    def add(self, client, message):
        self.work.put((client, message))

    def _draw_all(self):
        while True:
            item = self.work.get()
            if item is None:
                return
            client, (view, frame, width, height, tiles) = item
            canvas = self.canvases.get((client, view))
            if canvas is None or canvas.size != (width, height):
                canvas = self.canvases[(client, view)] = Image.new("RGB", (width, height))
            try:
                for left, top, payload in tiles:
                    tile = Image.open(io.BytesIO(payload))
                    tile.load()
                    if tile.format != "PNG" or left + tile.width > width or top + tile.height > height:
                        raise ValueError("a %s tile of %s at %d,%d" % (tile.format, tile.size, left, top))
                    canvas.paste(tile.convert("RGB"), (left, top))
            except Exception as error:  # a tile that does not decode is a fault to report, not a crash
                self._fault("view %d frame %d does not decode: %s" % (view, frame, error))
                continue
            if canvas.size != self.size:
                self._fault("view %d frame %d is a picture of %s" % (view, frame, canvas.size))
            pixels = hashlib.sha1(canvas.tobytes()).digest()
            with self.lock:
                self.drawn += 1
                known = self.digests.setdefault((view, frame), pixels)
            if known != pixels:
                self._fault("view %d frame %d reached clients as different pictures" % (view, frame))

    def _fault(self, text):
        with self.lock:
            if len(self.faults) < 20:
                self.faults.append(text)

    def finish(self):
        self.work.put(None)
        self.thread.join(120)
        assert not self.thread.is_alive(), "drawing the frames did not finish"


class Client(threading.Thread):
    """Reads the live socket until told to stop; counts frames and states, checks each message."""

    def __init__(self, number, url, pictures, views, stop, patience):
        super().__init__(daemon=True)
        self.patience = patience   # seconds without a message that count as a stall
        self.number = number
        self.url = url
        self.pictures = pictures
        self.views = views
        self.stop = stop
        self.times = []            # arrival of each frame
        self.last_frame = {}
        self.states = 0
        self.faults = []
        self.error = None

    def fault(self, text):
        if len(self.faults) < 10:
            self.faults.append("client %d: %s" % (self.number, text))

    def run(self):
        try:
            connection = websocket.create_connection(self.url, timeout=self.patience)
        except Exception as error:
            self.error = "client %d could not connect: %s" % (self.number, error)
            return
        try:
            while not self.stop.is_set():
                try:
                    opcode, data = connection.recv_data()
                except websocket.WebSocketTimeoutException:
                    self.fault("nothing for %.0f s" % self.patience)
                    continue
                if opcode == websocket.ABNF.OPCODE_TEXT:
                    self.on_state(data)
                elif opcode == websocket.ABNF.OPCODE_BINARY:
                    self.on_frame(data)
                elif opcode == websocket.ABNF.OPCODE_CLOSE:
                    if not self.stop.is_set():
                        self.error = "client %d: the viewer closed the socket" % self.number
                    return
        except Exception as error:
            if not self.stop.is_set():
                self.error = "client %d: %s: %s" % (self.number, type(error).__name__, error)
        finally:
            connection.close()

    def on_state(self, data):
        try:
            state = json.loads(data)
            if not isinstance(state.get("radar"), dict) or not isinstance(state.get("views"), list):
                raise ValueError("no radar or views")
            self.states += 1
        except ValueError as error:
            self.fault("a text message that is not the state: %s (%r)" % (error, data[:80]))

    def on_frame(self, data):
        self.times.append(time.monotonic())
        message = frame_tiles(data)
        if isinstance(message, str):
            self.fault(message)
            return
        view, frame = message[0], message[1]
        if view not in self.views:
            self.fault("a frame of view %d, which is not open" % view)
            return
        if frame <= self.last_frame.get(view, -1):
            self.fault("view %d frame %d after frame %d" % (view, frame, self.last_frame[view]))
        self.last_frame[view] = frame
        if self.number <= DRAWING_CLIENTS:
            self.pictures.add(self.number, message)

    def rate(self, start, end):
        return sum(1 for t in self.times if start <= t < end) / (end - start)


def stalled_client(port):
    """A client that completes the handshake and then never reads, with the smallest receive buffer."""
    return websocket.create_connection("ws://127.0.0.1:%d/api/live" % port, timeout=5,
                                       sockopt=((socket.SOL_SOCKET, socket.SO_RCVBUF, 4096),))


def judge_rates(repaint_rate, rates, early, late, api_times):
    """What is wrong with the viewer's repaint rate while serving, the frame rates each client got, the
    memory read early and late, and the time /api/state took under load."""
    failures = []
    if repaint_rate < LOWEST_REPAINT_RATE:
        failures.append("the viewer repainted %.1f times a second, below %.1f" % (repaint_rate, LOWEST_REPAINT_RATE))
    if repaint_rate > REPAINT_RATE * 1.15:
        failures.append("the viewer repainted %.1f times a second, more than its rate" % repaint_rate)
    slow = [(number, round(rate, 1)) for number, rate in enumerate(rates, 1)
            if rate < LOWEST_CLIENT_SHARE * repaint_rate]
    if slow:
        failures.append("clients below %.0f%% of the viewer's %.1f frames a second: %s" %
                        (100 * LOWEST_CLIENT_SHARE, repaint_rate, slow))
    if statistics.mean(rates) < LOWEST_MEAN_SHARE * repaint_rate:
        failures.append("the clients' mean rate %.1f frames a second is below %.0f%% of the viewer's %.1f" %
                        (statistics.mean(rates), 100 * LOWEST_MEAN_SHARE, repaint_rate))
    if max(rates) > repaint_rate * 1.1:
        failures.append("a client got %.1f frames a second, more than the viewer drew" % max(rates))
    # Medians of ten seconds each: the resident size swings by up to 15 MiB from one second to the next as
    # frame buffers come and go, so single readings, even peaks, say little.
    if early and late and statistics.median(late) - statistics.median(early) > MEMORY_GROWTH_KIB:
        failures.append("resident memory grew from a median of %d KiB to %d KiB"
                        % (statistics.median(early), statistics.median(late)))
    if max(api_times) > 2.0:
        failures.append("/api/state took %.1f s under load" % max(api_times))
    return failures


def run(arguments):
    # A sanitizer build draws and encodes too slowly for the repaint rate: its run checks what the clients
    # get and that nothing stalls, on a smaller view.
    judge_speed = not arguments.sanitized
    width, height = VIEW_SIZE if judge_speed else SANITIZED_VIEW_SIZE
    failures = []
    with live_viewer.LiveViewer(arguments.viewer, arguments.radar_config,
                                arguments=["--size", "%dx%d" % (width, height)],
                                slowness=1.0 if judge_speed else 3.0) as viewer:
        views = {v["id"] for v in viewer.state()["views"]}
        assert views == {1}, "views at start: %s" % viewer.state()["views"]
        # Real-time presentation repaints at the full rate whatever the sweeps do.
        status, _, body = viewer.request("POST", "/api/radar", {"real_time": True})
        assert status == 202, "real_time: %d %r" % (status, body)
        viewer.wait_for(lambda: viewer.state()["radar"]["real_time"] is True, 10, "real-time presentation on")
        stalled = stalled_client(viewer.port)
        pictures = Pictures((width, height))
        stop = threading.Event()
        clients = [Client(n, "ws://127.0.0.1:%d/api/live" % viewer.port, pictures, views, stop, 5 * viewer.slowness)
                   for n in range(1, CLIENTS + 1)]
        start = time.monotonic()
        for client in clients:
            client.start()
        memory, api_times, cpu_start, frame_start = [], [], None, None
        while time.monotonic() < start + SECONDS:
            time.sleep(1.0)
            now = time.monotonic() - start
            memory.append((now, viewer.rss_kib()))
            if cpu_start is None and now >= SETTLE_SECONDS:
                cpu_start = (time.monotonic(), viewer.cpu_seconds())
                frame_start = (time.monotonic(), viewer.frame_png(1)[0])
            asked = time.monotonic()
            viewer.state()
            api_times.append(time.monotonic() - asked)
        cpu_end = (time.monotonic(), viewer.cpu_seconds())
        frame_end = (time.monotonic(), viewer.frame_png(1)[0])
        stop.set()
        for client in clients:
            client.join(10)
        pictures.finish()

        judged = (frame_start[0], frame_end[0])
        rates = [client.rate(*judged) for client in clients]
        repaint_rate = (frame_end[1] - frame_start[1]) / (frame_end[0] - frame_start[0])
        early = [kib for t, kib in memory if SETTLE_SECONDS <= t < SETTLE_SECONDS + 10]
        late = [kib for t, kib in memory if t >= SECONDS - 10]
        cpu = (cpu_end[1] - cpu_start[1]) / (cpu_end[0] - cpu_start[0])
        frames = sum(len(c.times) for c in clients)
        print("frames received: %d by %d clients; per client per second: min %.1f, mean %.1f, max %.1f" %
              (frames, CLIENTS, min(rates), statistics.mean(rates), max(rates)))
        print("viewer repaints per second: %.1f; frames drawn by the drawing clients: %d" %
              (repaint_rate, pictures.drawn))
        print("viewer resident memory: %s KiB (one a second)" % [kib for _, kib in memory])
        print("viewer CPU while serving: %.0f%% of one core; slowest /api/state: %.0f ms" %
              (100 * cpu, 1000 * max(api_times)))

        failures += [client.error for client in clients if client.error]
        for client in clients:
            failures += client.faults
            if client.states < 1:
                failures.append("client %d got no state message" % client.number)
        failures += pictures.faults
        if pictures.drawn == 0:
            failures.append("no frame drawn")
        if judge_speed:
            failures += judge_rates(repaint_rate, rates, early, late, api_times)
        # The stalled client stays connected while the viewer stops: the stop must not wait for it.
        code = viewer.stop(timeout=20)
        stalled.close()
        if code != 0:
            failures.append("exit code %s after SIGTERM with a stalled client" % code)
    assert not failures, "\n".join(failures)


def main():
    return live_viewer.run_test(run, sys.argv[1:])


if __name__ == "__main__":
    sys.exit(main())
