#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Plays the example lecture in a browser, with its slides in step.

    python3 examples/lecture/serve.py build/hreftrack [PORT] [--dir DIR] [--no-browser]
    python3 examples/lecture/serve.py --needs

Makes the lecture in a fresh directory (or in DIR, which it keeps): the
track from log.xml by the built tool, a 20-second recording by GStreamer
(gst-launch-1.0 with vp8enc and webmmux, from gstreamer1.0-plugins-good),
the slide pages, their Norwegian captions and descriptions, and a copy of
the web player.  Then serves it on 127.0.0.1 as a real web server would
(a browser seeks in a recording only through byte-range requests, which
this server answers; it keeps its connections open and compresses the text
it sends) and opens the player in the browser,
until Ctrl-C.
PORT 0 takes a free port; the line "the lecture plays at URL" names it.
--needs only says what this machine lacks for the recording, if anything
(exit status 1), and makes nothing.
"""

import argparse
import gzip
import http.server
import io
import os
import re
import shutil
import subprocess
import sys
import tempfile
import threading
import webbrowser

HERE = os.path.dirname(os.path.realpath(__file__))
ROOT = os.path.realpath(os.path.join(HERE, "..", ".."))
RECORDING_SECONDS = 20
PAGE = "index.html?video=lecture.webm&track=HREFTrack.txt&captions=lecture.vtt&descriptions=lecture.synstolking.vtt"


def missing_tools():
    """What the recording needs and this machine lacks, as Debian package names."""
    missing = []
    if shutil.which("gst-launch-1.0") is None:
        missing.append("gstreamer1.0-tools")
    elif any(subprocess.run(["gst-inspect-1.0", "--exists", element]).returncode != 0
             for element in ("vp8enc", "webmmux")):
        missing.append("gstreamer1.0-plugins-good")
    return missing


def prepare(work, tool_command):
    """Lays the lecture out in `work`: player, slide pages, track and recording."""
    shutil.copytree(os.path.join(ROOT, "player"), work, dirs_exist_ok=True)
    for name in sorted(os.listdir(HERE)):
        if re.fullmatch(r"foil\d+\.html|log\.xml|lecture(\.synstolking)?\.vtt", name):
            shutil.copy(os.path.join(HERE, name), work)
    with open(os.path.join(HERE, "answers.txt"), "rb") as answers:
        subprocess.run(tool_command, cwd=work, stdin=answers, stdout=subprocess.DEVNULL,
                       check=True)
    # 25 frames a second; the recording ends at the track's play length.
    subprocess.run(["gst-launch-1.0", "-q", "videotestsrc",
                    f"num-buffers={RECORDING_SECONDS * 25}", "pattern=smpte", "!",
                    "video/x-raw,width=320,height=240,framerate=25/1", "!",
                    "vp8enc", "deadline=1", "!", "webmmux", "!",
                    "filesink", f"location={os.path.join(work, 'lecture.webm')}"],
                   check=True)


class RangeRequestHandler(http.server.SimpleHTTPRequestHandler):
    """Serves files as any real web server does: with single byte ranges, over
    connections kept open, the text compressed where the browser takes it so."""

    # A connection for each of the player's many small files would cost the
    # page a round trip each; every real server keeps them open.
    protocol_version = "HTTP/1.1"
    compressed = (".html", ".css", ".js", ".txt", ".vtt")
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map,
                      ".js": "text/javascript", ".webm": "video/webm",
                      ".txt": "text/plain; charset=iso-8859-1", ".vtt": "text/vtt"}

    def log_message(self, *args):
        pass

    def send_head(self):
        path = self.translate_path(self.path)
        if os.path.isdir(path):
            return super().send_head()
        try:
            source = open(path, "rb")
        except OSError:
            self.send_error(404)
            return None
        size = os.fstat(source.fileno()).st_size
        wanted = re.fullmatch(r"bytes=(\d*)-(\d*)", self.headers.get("Range", "").strip())
        if wanted and (wanted[1] or wanted[2]):
            if wanted[1]:
                first = int(wanted[1])
                last = min(int(wanted[2]), size - 1) if wanted[2] else size - 1
            else:
                first, last = max(0, size - int(wanted[2])), size - 1
            if first > last:
                source.close()
                self.send_response(416)
                self.send_header("Content-Range", f"bytes */{size}")
                self.send_header("Content-Length", "0")
                self.end_headers()
                return None
            self.send_response(206)
            self.send_header("Content-Range", f"bytes {first}-{last}/{size}")
            source.seek(first)
        elif (os.path.splitext(path)[1] in self.compressed and
              "gzip" in self.headers.get("Accept-Encoding", "")):
            # A whole text file, compressed; ranges are of the file as it is.
            with source:
                body = gzip.compress(source.read(), mtime=0)
            self.left = len(body)
            self.send_response(200)
            self.send_header("Content-Type", self.guess_type(path))
            self.send_header("Content-Encoding", "gzip")
            self.send_header("Vary", "Accept-Encoding")
            self.send_header("Content-Length", str(self.left))
            self.send_header("Cache-Control", "no-store")
            self.end_headers()
            return io.BytesIO(body)
        else:
            first, last = 0, size - 1
            self.send_response(200)
        self.left = last - first + 1
        self.send_header("Content-Type", self.guess_type(path))
        self.send_header("Content-Length", str(self.left))
        self.send_header("Accept-Ranges", "bytes")
        self.send_header("Cache-Control", "no-store")
        self.end_headers()
        return source

    def copyfile(self, source, outputfile):
        while self.left > 0:
            block = source.read(min(65536, self.left))
            if not block:
                break
            outputfile.write(block)
            self.left -= len(block)


def start_server(directory, port=0):
    """Serves `directory` on 127.0.0.1 from a thread; returns the server."""

    class Handler(RangeRequestHandler):
        def __init__(self, *args, **kwargs):
            super().__init__(*args, directory=directory, **kwargs)

    server = http.server.ThreadingHTTPServer(("127.0.0.1", port), Handler)
    server.daemon_threads = True
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server


def main():
    arguments = argparse.ArgumentParser(description=__doc__.strip().split("\n\n")[0])
    arguments.add_argument("tool", nargs="?", help="the built tool, such as build/hreftrack")
    arguments.add_argument("port", nargs="?", type=int, default=8000)
    arguments.add_argument("--dir", help="lay the lecture out here, and keep it")
    arguments.add_argument("--no-browser", action="store_true", help="only serve it")
    arguments.add_argument("--needs", action="store_true",
                           help="only say what the recording needs that this machine lacks")
    options = arguments.parse_args()
    if options.tool is None and not options.needs:
        arguments.error("the built tool is needed, such as build/hreftrack")
    missing = missing_tools()
    if missing:
        sys.exit("the recording needs: apt-get install " + " ".join(missing))
    if options.needs:
        return
    with tempfile.TemporaryDirectory() as temporary:
        work = options.dir or temporary
        os.makedirs(work, exist_ok=True)
        prepare(work, [os.path.realpath(options.tool)])
        server = start_server(work, options.port)
        url = f"http://127.0.0.1:{server.server_address[1]}/{PAGE}"
        print(f"the lecture plays at {url} (Ctrl-C ends)", flush=True)
        if not options.no_browser:
            webbrowser.open(url)
        try:
            threading.Event().wait()
        except KeyboardInterrupt:
            server.shutdown()


if __name__ == "__main__":
    main()
