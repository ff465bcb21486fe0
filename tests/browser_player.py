#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""The web player in headless Chromium, on a real recording and a real track.

    browser_player.py COMMAND...   (the command that starts the built tool)

The example lecture (examples/lecture: slides at 0, 3, 7 and 12 s) is made
as its serve.py makes it: the track by the tool, a 20 s WebM recording by
GStreamer, served from 127.0.0.1 with byte ranges.  Checks: the frame shows
foil0.html at load; the right page after seeking into each sample, forwards
and back; the page changes within 300 ms of a stamp while playing; a track
with a javascript: or data: address says so and never sends the frame
there, while its valid samples still play; a track without its header says
so.  With HREFTRACK_PLAYER_SCREENSHOT=FILE it saves the page, paused on
slide 2, as a PNG.  Exits 77, naming the missing package, where Chromium,
its driver, Selenium or GStreamer is absent.
"""

import os
import shutil
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.realpath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "examples", "lecture"))
import serve  # noqa: E402


def skip(package):
    print(f"skipped: apt-get install {package}")
    sys.exit(77)


def open_browser(profile):
    if not os.path.exists("/usr/bin/chromium"):
        skip("chromium")
    if not os.path.exists("/usr/bin/chromedriver"):
        skip("chromium-driver")
    try:
        from selenium import webdriver
        from selenium.webdriver.chrome.service import Service
    except ImportError:
        skip("python3-selenium")
    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    # No network but loopback here: nothing of Chromium's own may call out.
    for flag in ("--headless=new", "--no-sandbox", "--disable-gpu", "--disable-quic",
                 "--no-first-run", "--disable-background-networking",
                 "--disable-component-update", "--disable-sync", "--mute-audio",
                 "--autoplay-policy=no-user-gesture-required", "--window-size=1000,560",
                 f"--user-data-dir={profile}"):
        options.add_argument(flag)
    return webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)


class Player:
    def __init__(self, browser, base):
        self.browser = browser
        self.base = base

    def load(self, track):
        self.browser.get(f"{self.base}/index.html?video=lecture.webm&track={track}")
        self.wait(lambda: self.js("return document.body.dataset.ready === 'true' || "
                                  "document.getElementById('messages').children.length > 0"),
                  "the page to read its track")
        self.wait(lambda: self.js("return document.getElementById('recording').readyState >= 1"),
                  "the recording's metadata")

    def js(self, script, *args):
        return self.browser.execute_script(script, *args)

    def wait(self, condition, what, seconds=10):
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            if condition():
                return
            time.sleep(0.02)
        raise AssertionError(f"waited {seconds} s for {what}")

    def frame_page(self):
        # What the frame shows, read from the frame's own document.
        return self.js("const w = document.getElementById('foil').contentWindow;"
                       "return w.document.readyState === 'complete' ? "
                       "w.location.pathname.split('/').pop() : null;")

    def expect_page(self, page, when):
        try:
            self.wait(lambda: self.frame_page() == page, f"{page} {when}", seconds=5)
        except AssertionError:
            raise AssertionError(f"{when}: the frame shows {self.frame_page()}, not {page}")

    def seek(self, seconds):
        self.js("const v = document.getElementById('recording'); v.pause();"
                "window.seekedTo = null;"
                "v.addEventListener('seeked', () => { window.seekedTo = v.currentTime; },"
                " { once: true }); v.currentTime = arguments[0];", seconds)
        self.wait(lambda: self.js("return window.seekedTo !== null"), f"a seek to {seconds} s")

    def messages(self):
        return self.js("return [...document.querySelectorAll('#messages li')]"
                       ".map((li) => li.textContent);")


def check_seeking(player):
    player.load("HREFTrack.txt")
    player.expect_page("foil0.html", "at load")
    for seconds, page in ((1.5, "foil0.html"), (4, "foil1.html"), (8.5, "foil2.html"),
                          (15, "foil3.html"), (10, "foil2.html"), (3.5, "foil1.html"),
                          (0.5, "foil0.html"), (19.5, "foil3.html")):
        player.seek(seconds)
        player.expect_page(page, f"after a seek to {seconds} s")
    assert player.messages() == [], player.messages()


def check_playing(player):
    # Every page the player sends the frame to, with the recording's time.
    player.load("HREFTrack.txt")
    player.seek(2.2)
    player.js("window.changes = []; const v = document.getElementById('recording');"
              "const f = document.getElementById('foil');"
              "new MutationObserver(() => changes.push([f.dataset.page.split('/').pop(),"
              " v.currentTime])).observe(f, { attributes: true, attributeFilter: ['data-page'] });"
              "v.play();")
    player.wait(lambda: player.js("return document.getElementById('recording').currentTime") > 7.6,
                "playing past 7.6 s", seconds=15)
    changes = player.js("return window.changes;")
    player.js("document.getElementById('recording').pause();")
    assert [page for page, _ in changes] == ["foil1.html", "foil2.html"], changes
    for (page, at), stamp in zip(changes, (3, 7)):
        late = at - stamp
        print(f"{page}: shown {late * 1000:.0f} ms after its stamp at {stamp} s")
        assert 0 <= late < 0.3, f"{page} came {late * 1000:.0f} ms after its stamp"
    player.expect_page("foil2.html", "after playing past 7 s")


def check_hostile(player, served):
    with open(os.path.join(served, "HREFTrack.txt"), "rb") as track:
        lines = track.read().split(b"\r\n")
    # The samples of slides 1 and 2 point elsewhere: a script and a data page.
    lines[6] = b"A<javascript:parent.document.title='pwned'> T<myfoil>"
    lines[8] = b"A<data:text/html,pwned> T<myfoil>"
    with open(os.path.join(served, "hostile.txt"), "wb") as track:
        track.write(b"\r\n".join(lines))
    with open(os.path.join(served, "headless.txt"), "wb") as track:
        track.write(b"\r\n".join(lines[1:]))

    player.load("hostile.txt")
    messages = player.messages()
    assert len(messages) == 2 and all("ikke tillatt" in m for m in messages), messages
    assert messages[0].startswith("Linje 7:") and messages[1].startswith("Linje 9:"), messages
    player.expect_page("foil0.html", "at load of the hostile track")
    for seconds in (4, 8.5):
        player.seek(seconds)
        time.sleep(0.3)
        assert player.frame_page() == "foil0.html", player.frame_page()
    player.seek(15)
    player.expect_page("foil3.html", "in a valid sample of the hostile track")
    assert player.js("return document.title") == "Forelesning med lysark"

    player.load("headless.txt")
    assert any("{QTtext}" in m for m in player.messages()), player.messages()


def main():
    command = sys.argv[1:]
    if not command:
        sys.exit("usage: browser_player.py COMMAND...")
    missing = serve.missing_tools()
    if missing:
        skip(" ".join(missing))
    served = tempfile.mkdtemp(prefix="hreftrack-player-")
    profile = tempfile.mkdtemp(prefix="hreftrack-chromium-")
    server = browser = None
    try:
        command[-1] = os.path.realpath(command[-1]) if os.path.exists(command[-1]) else command[-1]
        serve.prepare(served, command)
        browser = open_browser(profile)
        server = serve.start_server(served)
        player = Player(browser, f"http://127.0.0.1:{server.server_address[1]}")
        check_seeking(player)
        check_playing(player)
        screenshot = os.environ.get("HREFTRACK_PLAYER_SCREENSHOT")
        if screenshot:
            player.load("HREFTrack.txt")
            player.seek(9)
            player.expect_page("foil2.html", "for the screenshot")
            browser.save_screenshot(screenshot)
        check_hostile(player, served)
        print("the player passed in headless Chromium")
    finally:
        if browser is not None:
            browser.quit()
        if server is not None:
            server.shutdown()
        shutil.rmtree(served, ignore_errors=True)
        shutil.rmtree(profile, ignore_errors=True)


if __name__ == "__main__":
    main()
