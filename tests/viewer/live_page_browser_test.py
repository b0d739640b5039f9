#!/usr/bin/python3
"""The live page in a real browser (headless Chromium) against a viewer serving the replayed capture.

It watches the warm-up count down, waits for the echo, puts the radar in standby and sees the module's
message take the echo's place in the picture, transmits again and sees the echo return, steps the range up
and sees the range text and the rings' labels change, hides one view's rings, puts one view in night colours,
adds a view and closes it again, and matches the canvas pixel for pixel against the frame the viewer itself
drew. Screenshots of each step go to the artefacts folder.

Exit 0: passed; 1: failed; 77: no browser, driver or Selenium here (skipped).
"""

import base64
import configparser
import io
import os
import re
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
import live_viewer  # noqa: E402

CHROMIUM = "/usr/bin/chromium"
CHROMEDRIVER = "/usr/bin/chromedriver"

try:
    from PIL import Image, ImageChops, ImageFilter, ImageStat
    from selenium import webdriver
    from selenium.webdriver.chrome.service import Service
    from selenium.webdriver.common.by import By
    from selenium.webdriver.support.ui import Select
except ImportError as missing:
    print("skipped: %s" % missing)
    sys.exit(live_viewer.SKIP)

# Two views of one size, the echo in the single green colour (index 1): the chart has no such pixel. At
# the range of index 5 (3 NM) the replay's echo covers thousands of pixels.
VIEW_WIDTH, VIEW_HEIGHT = 640, 400
RANGE_INDEX = 5
WARMUP_SECONDS = 6
ECHO_COLOUR = 1
RING_COLOUR = (50, 50, 50)


# -- what a picture shows -------------------------------------------------------------------------------------

def echo_pixels(image):
    """Pixels of the green echo's patches: green well above red and blue, which neither chart nor labels
    have, leaving out lines under three pixels wide (the radar's range circle is drawn in the echo's colour)."""
    green = [255 if g > r + 25 and g > b + 25 else 0 for r, g, b in image.convert("RGB").getdata()]
    mask = Image.new("L", image.size)
    mask.putdata(green)
    return mask.filter(ImageFilter.MinFilter(3)).histogram()[255]


def ring_pixels(image):
    """Pixels of the range rings' own colour (the rings and the cores of their distance labels)."""
    return sum(1 for pixel in image.convert("RGB").getdata() if pixel == RING_COLOUR)


def ring_ink(image):
    """A mask of the rings' grey ink (antialiased edges too) in the column above the centre, where each
    ring's distance label sits on its top."""
    width, height = image.size
    column = image.convert("RGB").crop((width // 2 - 40, 0, width // 2 + 40, height // 2 - 5))
    mask = Image.new("L", column.size)
    mask.putdata([255 if max(p) - min(p) <= 30 and max(p) <= 150 else 0 for p in column.getdata()])
    return mask


def ring_labels_changed(before, after):
    """Ink pixels of the ring labels found in one picture with none within a pixel in the other: the
    labels' text changed, not just the picture's shift as the own ship moves."""
    first, second = ring_ink(before), ring_ink(after)
    grow = ImageFilter.MaxFilter(3)
    return (ImageChops.subtract(second, first.filter(grow)).histogram()[255] +
            ImageChops.subtract(first, second.filter(grow)).histogram()[255])


def message_pixels(image):
    """Red-tinted pixels in the middle band, where the module's centred message box lies."""
    width, height = image.size
    band = image.convert("RGB").crop((width // 8, height // 2 - 40, width - width // 8, height // 2 + 40))
    return sum(1 for r, g, b in band.getdata() if r > g + 40 and r > b + 40)


def middle_changed(before, after):
    """Pixels of the middle band that differ between two pictures."""
    width, height = before.size
    box = (width // 8, height // 2 - 40, width - width // 8, height // 2 + 40)
    return sum(1 for a, b in zip(before.convert("RGB").crop(box).getdata(), after.convert("RGB").crop(box).getdata())
               if a != b)


def brightness(image):
    """The picture's mean grey level."""
    return ImageStat.Stat(image.convert("L")).mean[0]


def whole(image):
    """Whether every pixel of the canvas was drawn (none left transparent): every tile of the view came."""
    return image.convert("RGBA").getextrema()[3][0] == 255


def same_pixels(first, second):
    """How many pixels differ between two pictures (RGBA), and whether their sizes match."""
    if first.size != second.size:
        return False, -1
    a, b = first.convert("RGBA").tobytes(), second.convert("RGBA").tobytes()
    differing = sum(1 for i in range(0, len(a), 4) if a[i:i + 4] != b[i:i + 4])
    return differing == 0, differing


# -- the page -------------------------------------------------------------------------------------------------

# Keeps a copy of view N's canvas for every frame number the page reports drawn there: a frame read
# from the viewer can then be matched with what the page showed for the same number.
RECORDER = """
const view = arguments[0];
window.canvasRecord = window.canvasRecord || {};
const record = window.canvasRecord[view] = {frames: {}, order: [], last: null};
setInterval(() => {
  const frame = window.shownFrames && window.shownFrames[view];
  if (frame === undefined || frame === null || frame === record.last) return;
  record.last = frame;
  record.frames[frame] = document.getElementById('view-' + view).toDataURL('image/png');
  record.order.push(frame);
  while (record.order.length > 40) delete record.frames[record.order.shift()];
}, 5);
"""

# The frame number shown on view N's canvas and the canvas's pixels, read at one moment.
CANVAS = """
const view = arguments[0];
const canvas = document.getElementById('view-' + view);
const frame = window.shownFrames ? window.shownFrames[view] : undefined;
if (!canvas || frame === undefined || frame === null) return null;
return [frame, canvas.width, canvas.height, canvas.toDataURL('image/png')];
"""


def decode_data_url(url):
    return Image.open(io.BytesIO(base64.b64decode(url.split(",", 1)[1]))).convert("RGBA")


class Page:
    def __init__(self, driver, viewer, artefacts):
        self.driver = driver
        self.viewer = viewer
        self.artefacts = artefacts
        self.step = 0

    def canvas(self, view):
        """(frame number, picture) of what view N's canvas shows now; None before its first frame."""
        shown = self.driver.execute_script(CANVAS, view)
        if not shown:
            return None
        frame, width, height, url = shown
        picture = decode_data_url(url)
        assert picture.size == (width, height), "the canvas read back at %s, not %dx%d" % (picture.size, width, height)
        return int(frame), picture

    def text(self, element_id):
        return self.driver.find_element(By.ID, element_id).text.strip()

    def click(self, element_id):
        self.driver.find_element(By.ID, element_id).click()

    def wait_canvas(self, view, condition, timeout, what):
        """Waits until view N's canvas satisfies `condition(picture)`; returns (frame, picture). When it
        does not, the last canvas and a screenshot are kept beside the others."""
        last = []

        def check():
            shown = self.canvas(view)
            if shown:
                last[:] = [shown]
            return shown if shown and condition(shown[1]) else None
        try:
            return self.viewer.wait_for(check, timeout, what, poll=0.25)
        except AssertionError:
            if last:
                last[0][1].save(os.path.join(self.artefacts, "live-page-failed-canvas-%d.png" % view))
            self.screenshot("failed")
            raise

    def screenshot(self, name):
        self.step += 1
        path = os.path.join(self.artefacts, "live-page-%d-%s.png" % (self.step, name))
        self.driver.save_screenshot(path)
        print("screenshot: %s" % path)


def start_browser():
    options = webdriver.ChromeOptions()
    options.binary_location = CHROMIUM
    for argument in ("--headless=new", "--no-sandbox", "--disable-gpu", "--disable-dev-shm-usage",
                     "--window-size=1400,1100", "--no-first-run", "--no-default-browser-check",
                     "--disable-background-networking", "--disable-component-update", "--disable-sync",
                     "--disable-extensions", "--disable-default-apps", "--disable-domain-reliability",
                     # Whatever is not loopback goes to a proxy that is not there: the page may reach
                     # nothing but the viewer.
                     "--proxy-server=127.0.0.1:9", "--proxy-bypass-list=127.0.0.1"):
        options.add_argument(argument)
    options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
    return webdriver.Chrome(service=Service(executable_path=CHROMEDRIVER), options=options)


def check_no_script_errors(page):
    """The page's script threw nothing and logged no error in the whole run."""
    errors = [entry["message"] for entry in page.driver.get_log("browser") if entry["level"] == "SEVERE"]
    assert not errors, "the page's console shows errors: %s" % errors[:5]


# -- the steps ------------------------------------------------------------------------------------------------

def watch_warmup(page, viewer):
    """The warm-up after power-on counts down in `state-warmup` while the picture shows the module's
    warming-up message; then the radar transmits."""
    seen = []
    message_seen = False
    deadline = time.monotonic() + WARMUP_SECONDS + 20 * viewer.slowness
    while time.monotonic() < deadline:
        number = re.search(r"\d+", page.text("state-warmup"))
        if number and (not seen or int(number.group()) != seen[-1]):
            seen.append(int(number.group()))
        if number and not message_seen:
            shown = page.canvas(1)
            if shown and message_pixels(shown[1]) > 500:
                message_seen = True
                page.screenshot("warming-up")
        if viewer.state()["radar"]["transmitting"]:
            break
        time.sleep(0.2)
    assert len(seen) >= 2, "state-warmup did not count down during the warm-up (read %s)" % seen
    assert seen == sorted(seen, reverse=True) and len(set(seen)) == len(seen), \
        "state-warmup did not count down: %s" % seen
    assert seen[0] <= WARMUP_SECONDS, "the warm-up started at %d, more than its %d s" % (seen[0], WARMUP_SECONDS)
    assert message_seen, "no warming-up message in the picture while state-warmup counted %s" % seen


def check_frame_matches(page, viewer, view):
    """Some frame the canvas showed is fetched as frame.png by the same number: the pixels are the same."""
    page.driver.execute_script(RECORDER, view)
    for _ in range(int(60 * viewer.slowness)):
        frame, png = viewer.frame_png(view)
        drawn = Image.open(io.BytesIO(png)).convert("RGBA")
        assert drawn.size == (VIEW_WIDTH, VIEW_HEIGHT), "frame.png of view %d is %s" % (view, drawn.size)
        time.sleep(0.3)
        url = page.driver.execute_script(
            "const r = window.canvasRecord[arguments[0]]; return r.frames[arguments[1]] || null;", view, frame)
        if url is None:
            continue
        shown = decode_data_url(url)
        same, differing = same_pixels(shown, drawn)
        if not same:
            shown.save(os.path.join(page.artefacts, "live-page-canvas-%d.png" % frame))
            drawn.save(os.path.join(page.artefacts, "live-page-frame-%d.png" % frame))
        assert same, "view %d's canvas of frame %d differs from frame.png in %d pixels" % (view, frame, differing)
        print("view %d: canvas and frame.png of frame %d are the same %dx%d pixels" % (view, frame, *drawn.size))
        return
    raise AssertionError("the canvas of view %d never showed a frame number frame.png gave" % view)


def check_modes_and_views(page, viewer):
    """Night colours on view 2 darken its picture alone; a view added fills its canvas; closed, it leaves the
    page and the viewer."""
    _, day = page.wait_canvas(2, whole, 10, "view 2's canvas whole")
    _, other_day = page.canvas(1)
    Select(page.driver.find_element(By.ID, "view-2-mode")).select_by_visible_text("night")
    page.wait_canvas(2, lambda p: brightness(p) < 0.6 * brightness(day), 10, "view 2 darker at night")
    viewer.wait_for(lambda: [v["mode"] for v in viewer.state()["views"]] == ["day", "night"], 5,
                    "night for view 2 alone in /api/state")
    _, other = page.canvas(1)
    assert brightness(other) > 0.8 * brightness(other_day), "night on view 2 darkened view 1"
    page.screenshot("view-2-night")

    page.click("add-view")
    viewer.wait_for(lambda: [v["id"] for v in viewer.state()["views"]] == [1, 2, 3], 10, "view 3 in /api/state")
    page.wait_canvas(3, whole, 20, "view 3's canvas whole")
    page.screenshot("view-3-added")
    page.click("view-3-close")
    viewer.wait_for(lambda: [v["id"] for v in viewer.state()["views"]] == [1, 2], 10, "view 3 closed")
    viewer.wait_for(lambda: not page.driver.find_elements(By.ID, "view-3"), 5, "view 3 gone from the page")
    page.screenshot("view-3-closed")


def check_only_loopback(page, viewer):
    """Everything the page loaded came from the viewer itself."""
    origin = viewer.url.rstrip("/")
    loaded = page.driver.execute_script(
        "return performance.getEntriesByType('resource').map(e => e.name).concat([location.href]);")
    foreign = [url for url in loaded if not url.startswith(origin + "/") and not url.startswith("ws://" + origin[7:])]
    assert not foreign, "the page loaded from elsewhere than the viewer: %s" % foreign


def hidden_layers(profile):
    """{display number: names of the layers it hides} from a saved host profile."""
    parser = configparser.ConfigParser(interpolation=None, strict=False)
    parser.optionxform = str
    parser.read(profile, encoding="utf-8")
    hidden = {}
    for section in parser.sections():
        match = re.fullmatch(r"ModuleDisplay\\RadarDisplay_(\d+)", section)
        if match:
            names = {value.split("?")[-1] for key, value in parser[section].items() if re.fullmatch(r"Layer\d+", key)}
            hidden[int(match.group(1))] = names
    return hidden


def run(arguments):
    artefacts = arguments.artefacts
    os.makedirs(artefacts, exist_ok=True)
    driver = start_browser()
    try:
        with live_viewer.LiveViewer(arguments.viewer, arguments.radar_config, warmup_seconds=WARMUP_SECONDS,
                                    arguments=["--views", "2", "--size", "%dx%d" % (VIEW_WIDTH, VIEW_HEIGHT),
                                               "--echo-colour", str(ECHO_COLOUR), "--range-index", str(RANGE_INDEX)],
                                    slowness=3.0 if arguments.sanitized else 1.0) as viewer:
            driver.get(viewer.url)
            page = Page(driver, viewer, artefacts)
            state = viewer.state()
            assert [v["id"] for v in state["views"]] == [1, 2], "views: %s" % state["views"]
            assert state["radar"]["echo_colour"] == ECHO_COLOUR, "echo colour %s" % state["radar"]["echo_colour"]

            watch_warmup(page, viewer)
            _, transmitting = page.wait_canvas(1, lambda p: echo_pixels(p) > 2000, 30, "echo on view 1's canvas")
            echo = echo_pixels(transmitting)
            assert message_pixels(transmitting) < 100, "a message in the picture while transmitting"
            page.screenshot("echo")
            check_only_loopback(page, viewer)

            page.click("standby")
            _, standby = page.wait_canvas(
                1, lambda p: message_pixels(p) > 1000 and echo_pixels(p) < echo // 10, 15,
                "standby message in place of the echo (echo was %d pixels)" % echo)
            assert middle_changed(transmitting, standby) > 1000, "the picture's middle did not change in standby"
            viewer.wait_for(lambda: not viewer.state()["radar"]["transmitting"], 5, "standby in /api/state")
            assert "standby" in page.text("state-radar").lower(), "state-radar reads %r" % page.text("state-radar")
            page.screenshot("standby")

            page.click("transmit")
            _, echoing = page.wait_canvas(1, lambda p: echo_pixels(p) > 2000 and message_pixels(p) < 100, 30,
                                          "echo back after transmit")
            viewer.wait_for(lambda: viewer.state()["radar"]["transmitting"], 5, "transmitting in /api/state")
            page.screenshot("transmit")

            range_before = page.text("state-range")
            index_before = viewer.state()["radar"]["range_index"]
            assert ring_pixels(echoing) > 500, "no rings on view 1 (%d ring pixels)" % ring_pixels(echoing)
            page.click("range-up")
            viewer.wait_for(lambda: page.text("state-range") not in ("", range_before), 10,
                            "state-range changing from %r" % range_before)
            assert viewer.state()["radar"]["range_index"] == index_before + 1, "range index did not step up by one"
            assert page.text("state-range") == viewer.state()["radar"]["range"], \
                "state-range %r is not the radar's range %r" % (page.text("state-range"), viewer.state()["radar"]["range"])
            page.wait_canvas(1, lambda p: ring_labels_changed(echoing, p) > 40, 10, "ring labels changed by range up")
            page.screenshot("range-up")

            rings_box = driver.find_element(By.ID, "view-1-rings")
            assert rings_box.is_selected(), "view-1-rings unchecked while the rings show"
            page.click("view-1-rings")
            page.wait_canvas(1, lambda p: ring_pixels(p) < 20, 10, "view 1's rings gone")
            _, other = page.canvas(2)
            assert ring_pixels(other) > 500, "hiding view 1's rings hid view 2's too"
            viewer.wait_for(lambda: [v["rings"] for v in viewer.state()["views"]] == [False, True], 5,
                            "rings false for view 1 only in /api/state")
            page.screenshot("view-1-no-rings")

            check_modes_and_views(page, viewer)
            check_frame_matches(page, viewer, 1)
            check_frame_matches(page, viewer, 2)
            assert page.text("message") == "", "the page shows a message: %r" % page.text("message")
            check_no_script_errors(page)

            # Stopped, the viewer keeps what the page set: view 1 hides its rings, view 2 does not.
            assert viewer.stop() == 0, "exit code after SIGTERM:\n%s" % viewer.output()
            hidden = hidden_layers(os.path.join(viewer.folder, "profile.ini"))
            assert "RINGS_LAYER" in hidden.get(0, set()) and "RINGS_LAYER" not in hidden.get(1, set()), \
                "hidden layers in the saved profile: %s" % hidden
    finally:
        driver.quit()


def main():
    for program in (CHROMIUM, CHROMEDRIVER):
        if not os.access(program, os.X_OK):
            print("skipped: no %s" % program)
            return live_viewer.SKIP
    return live_viewer.run_test(run, sys.argv[1:])


if __name__ == "__main__":
    sys.exit(main())
