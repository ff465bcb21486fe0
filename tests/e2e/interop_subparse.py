# SPDX-License-Identifier: MIT
"""Reads tracks made by the tool with GStreamer's subparse, an independent
parser of the QuickTime text format, and checks what it makes of them.

    interop_subparse.py EXAMPLES_DIR COMMAND...

For the shipped example and for a log of several hundred slides, the tool
runs in a fresh directory; then `typefind` must see a QTtext file, and
`filesrc ! subparse ! appsink` must give one text sample per sample the
tool wrote, each starting at its stamp to the millisecond and holding its
HREF line, in the font and colours of the header.  subparse also gives an
empty sample of no length at the first stamp, which is allowed for.

Known quirk: subparse does not know the "{timeScale:30}" spelling and reads
the digits after the point of a stamp as thousandths, so the closing stamp
[00:41:37.20] ends the last sample at 2497.020 s, not 2497.2 s.

Exits 77 (skipped) when this Python has no GStreamer bindings or subparse.
"""

import os
import re
import subprocess
import sys
import tempfile

SKIP = 77
PACKAGES = ("gstreamer1.0-plugins-base python3-gst-1.0 gir1.2-gstreamer-1.0 "
            "gir1.2-gst-plugins-base-1.0")


def load_gstreamer():
    """Gst and GstApp, or an exit with status 77 that says what is missing."""
    try:
        import gi
        gi.require_version("Gst", "1.0")
        gi.require_version("GstApp", "1.0")
        from gi.repository import Gst, GstApp  # noqa: F401 (GstApp: appsink's methods)
    except (ImportError, ValueError) as error:
        print(f"skipped: no GStreamer for Python here ({error}); "
              f"install it with: apt-get install {PACKAGES}")
        sys.exit(SKIP)
    Gst.init(None)
    if Gst.ElementFactory.find("subparse") is None:
        print(f"skipped: GStreamer has no subparse element; "
              f"install it with: apt-get install {PACKAGES}")
        sys.exit(SKIP)
    return Gst


STAMP = re.compile(rb"^\[(\d+):(\d\d):(\d\d)\.(\d\d)\]$")


def stamp_ms(line, hundredths_as="hundredths"):
    """The time of a stamp line in milliseconds."""
    match = STAMP.match(line)
    assert match, f"not a stamp: {line!r}"
    hours, minutes, seconds, fraction = (int(part) for part in match.groups())
    fraction_ms = fraction * 10 if hundredths_as == "hundredths" else fraction
    return ((hours * 60 + minutes) * 60 + seconds) * 1000 + fraction_ms


def read_track(path):
    """The samples the tool wrote, as (start in ms, HREF line), and the closing stamp."""
    with open(path, "rb") as track:
        data = track.read()
    assert data.endswith(b"\r\n"), "the track ends in CR LF"
    lines = data[:-2].split(b"\r\n")
    assert lines[0].startswith(b"{QTtext}"), "the track starts with its header"
    body, closing = lines[1:-1], lines[-1]
    samples = [(stamp_ms(body[i]), body[i + 1].decode("ascii")) for i in range(0, len(body), 2)]
    return samples, closing


def typefind(gst, path):
    pipeline = gst.parse_launch(f'filesrc location="{path}" ! typefind name=found ! fakesink')
    pipeline.set_state(gst.State.PAUSED)
    pipeline.get_state(10 * gst.SECOND)
    caps = pipeline.get_by_name("found").get_property("caps")
    pipeline.set_state(gst.State.NULL)
    return caps.get_structure(0).get_name() if caps else None


def parse_with_subparse(gst, path):
    """Every sample subparse gives: (start ms, end ms, text)."""
    pipeline = gst.parse_launch(
        f'filesrc location="{path}" ! subparse ! appsink name=sink sync=false')
    sink = pipeline.get_by_name("sink")
    pipeline.set_state(gst.State.PLAYING)
    samples = []
    while True:
        sample = sink.try_pull_sample(10 * gst.SECOND)
        if sample is None:
            break
        buffer = sample.get_buffer()
        ok, mapped = buffer.map(gst.MapFlags.READ)
        assert ok
        text = bytes(mapped.data).decode("utf-8")
        buffer.unmap(mapped)
        start = buffer.pts // gst.MSECOND
        samples.append((start, start + buffer.duration // gst.MSECOND, text))
    pipeline.set_state(gst.State.NULL)
    return samples


# subparse renders the header's font and colours as Pango mark-up.
SPAN = re.compile(r"^<span font='Geneva 12' bgcolor='#000000' color='#FFFFFF'>(.*)</span>$",
                  re.DOTALL)


def check_case(gst, name, log, answers, command):
    failures = []
    with tempfile.TemporaryDirectory() as work:
        with open(os.path.join(work, "log.xml"), "wb") as file:
            file.write(log)
        subprocess.run(command, cwd=work, input=answers, stdout=subprocess.DEVNULL, check=True,
                       timeout=30)
        path = os.path.join(work, "HREFTrack.txt")
        written, closing = read_track(path)

        found_type = typefind(gst, path)
        if found_type != "application/x-subtitle-qttext":
            failures.append(f"typefind saw {found_type}, not QTtext")

        parsed = parse_with_subparse(gst, path)
        if parsed and parsed[0][2] == "" and parsed[0][0] == parsed[0][1] == written[0][0]:
            parsed = parsed[1:]  # The empty sample of no length at the first stamp.
        if len(parsed) != len(written):
            failures.append(f"{len(written)} samples written, subparse gives {len(parsed)}")
        for index, ((start, end, text), (stamp, href)) in enumerate(zip(parsed, written)):
            if start != stamp:
                failures.append(f"sample {index}: starts at {start} ms, its stamp says {stamp}")
            match = SPAN.match(text)
            if not match or match.group(1) != href:
                failures.append(f"sample {index}: text {text!r}, the track says {href!r}")
            last = index + 1 == len(written)
            expected_end = stamp_ms(closing, "thousandths") if last else written[index + 1][0]
            if end != expected_end:
                failures.append(f"sample {index}: ends at {end} ms, expected {expected_end}")
    print(f"{name}: {len(written)} samples, "
          f"{'all as written' if not failures else str(len(failures)) + ' differences'}")
    for failure in failures[:20]:
        print(f"  {failure}")
    return not failures


def several_hundred_slides():
    """A log of 400 slides, forward with jumps back, a few seconds to minutes apart."""
    lines, seconds, slide = [], 0, 1
    for step in range(400):
        lines.append(f"<entry><slide>{slide}</slide><time>{seconds // 3600:02d}:"
                     f"{seconds // 60 % 60:02d}:{seconds % 60:02d}</time></entry>")
        seconds += 3 + (step * 37) % 90
        slide = slide - 5 if step % 23 == 22 and slide > 5 else slide + 1
    return ("\r\n".join(lines) + "\r\n").encode("ascii"), seconds


def main():
    examples, command = sys.argv[1], sys.argv[2:]
    if os.path.isfile(command[0]):  # The tool runs in a fresh directory.
        command[0] = os.path.abspath(command[0])
    gst = load_gstreamer()
    if os.environ.get("HREFTRACK_PROBE"):  # Asked only whether it would skip itself.
        sys.exit(0)
    with open(os.path.join(examples, "log.xml"), "rb") as file:
        example_log = file.read()
    with open(os.path.join(examples, "answers.txt"), "rb") as file:
        example_answers = file.read()
    many_log, last = several_hundred_slides()
    end = last + 60  # The recording goes on for a minute after the last slide.
    many_answers = f"0 0 7\n{end // 3600} {end // 60 % 60} {end % 60} 33\n".encode("ascii")
    results = [check_case(gst, "example", example_log, example_answers, command),
               check_case(gst, "400 slides", many_log, many_answers, command)]
    sys.exit(0 if all(results) else 1)


if __name__ == "__main__":
    main()
