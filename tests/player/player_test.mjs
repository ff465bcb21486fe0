// SPDX-License-Identifier: MIT
// The web player's pure functions: its reading of tracks, on tracks that the
// built tool writes, and the slide list's labels and moves.
//
//   HREFTRACK_COMMAND='tool' node --test tests/player_test.mjs
//
// HREFTRACK_COMMAND is the command that starts the tool, its words separated
// by ';' as CMake lists them (an emulator may come first).
import { test } from "node:test";
import assert from "node:assert/strict";
import { execFileSync } from "node:child_process";
import { mkdtempSync, readFileSync, rmSync, writeFileSync } from "node:fs";
import { createRequire } from "node:module";
import { tmpdir } from "node:os";
import { join } from "node:path";

// The player's scripts are classic scripts that Node loads as CommonJS.
const require = createRequire(import.meta.url);
const { allowedUrl, parseTrack, playableSamples, sameOrigin } = require("../../player/hreftrack-track.js");
const { captionsLabel, captionsLanguage, chooseFiles, entryLabel, isTextField, sampleAt, startTime,
        stepFrom } = require("../../player/hreftrack-slides.js");

const root = new URL("../..", import.meta.url).pathname;
const command = (process.env.HREFTRACK_COMMAND ?? "").split(";").filter((word) => word !== "");

// The track the tool writes for `log` with the two answers.
function toolTrack(log, offset, playLength) {
  const dir = mkdtempSync(join(tmpdir(), "player-test-"));
  try {
    writeFileSync(join(dir, "log.xml"), log, "latin1");
    execFileSync(command[0], command.slice(1), { cwd: dir, input: `${offset}\n${playLength}\n` });
    return readFileSync(join(dir, "HREFTrack.txt"), "latin1");
  } finally {
    rmSync(dir, { recursive: true, force: true });
  }
}

const spans = (samples) => samples.map((s) => `${s.url}@${s.start}-${s.end}`);
const base = "http://127.0.0.1:8000/lecture/HREFTrack.txt";

test("the example's track: every sample until the next stamp, the last until the play length", () => {
  const parsed = parseTrack(readFileSync(join(root, "examples/HREFTrack.expected.txt"), "latin1"));
  assert.deepEqual(parsed.problems, []);
  assert.deepEqual(parsed.hidden, []);
  assert.equal(parsed.samples[0].start, 0);
  assert.equal(parsed.samples[0].url, "foil0.html");
  assert.equal(parsed.samples[0].frame, "myfoil");
  for (let i = 1; i < parsed.samples.length; i += 1) {
    assert.equal(parsed.samples[i - 1].end, parsed.samples[i].start);
  }
  const stamps = readFileSync(join(root, "examples/HREFTrack.expected.txt"), "latin1")
    .match(/^\[.*\]\r$/gm);
  assert.equal(parsed.samples.length, stamps.length - 1);
});

test("tracks of the tool: hundredths, three-digit hours, empty numbers, stamps that go back",
     { skip: command.length === 0 && "HREFTRACK_COMMAND is not set" }, () => {
  // .FF are hundredths; a stamp of three hour digits is read whole.
  let parsed = parseTrack(toolTrack("<slide>1 1:0:0 ", "99 0 0", "0 0 1 5"));
  assert.deepEqual(spans(parsed.samples), ["foil0.html@0-360000"]);
  assert.deepEqual(spans(parsed.hidden), ["foil1.html@360000-1.05"]);
  // An empty slide number names the page foil.html.
  parsed = parseTrack(toolTrack("<slide>x0:0:5 ", "0 0 0", "0 0 9 0"));
  assert.deepEqual(spans(parsed.samples), ["foil0.html@0-5", "foil.html@5-9"]);
  // Stamps stay in log order; a sample whose next stamp is not later is never shown.
  parsed = parseTrack(toolTrack("<slide>1 0:0:10 <slide>2 0:0:5 <slide>3 0:0:5 <slide>4 0:0:20 ",
                                "0 0 0", "0 0 30 0"));
  assert.deepEqual(spans(parsed.samples), ["foil0.html@0-10", "foil3.html@5-20", "foil4.html@20-30"]);
  assert.deepEqual(spans(parsed.hidden), ["foil1.html@10-5", "foil2.html@5-5"]);
  assert.deepEqual(parsed.problems, []);
});

test("only relative and http(s) addresses reach the frame", () => {
  assert.equal(allowedUrl("foil1.html", base), "http://127.0.0.1:8000/lecture/foil1.html");
  assert.equal(allowedUrl("https://example.org/a.html", base), "https://example.org/a.html");
  for (const refused of ["javascript:alert(1)", "JavaScript:alert(1)", " javascript:alert(1)",
                         "java\tscript:alert(1)", "data:text/html,<b>x</b>", "file:///etc/passwd",
                         "vbscript:x", "blob:http://x/1"]) {
    assert.equal(allowedUrl(refused, base), null, refused);
  }
  const track = "{QTtext}\r\n[00:00:00.00]\r\nA<foil0.html> T<myfoil>\r\n" +
                "[00:00:05.00]\r\nA<javascript:alert(1)> T<myfoil>\r\n" +
                "[00:00:09.00]\r\nA<foil2.html> T<otherframe>\r\n[00:00:12.00]\r\n";
  const played = playableSamples(parseTrack(track), base, "myfoil");
  assert.deepEqual(played.samples.map((s) => s.href), ["http://127.0.0.1:8000/lecture/foil0.html"]);
  assert.deepEqual(played.problems.map((p) => p.line), [5, 7]);
  assert.match(played.problems[0].text, /^Linje 5: .*javascript:alert\(1\).* ikke tillatt/);
});

test("hostile tracks: no header, junk lines, a long track", () => {
  let parsed = parseTrack("[00:00:00.00]\nA<foil0.html> T<myfoil>\n[00:00:05.00]\n");
  assert.deepEqual(parsed.samples, []);
  assert.match(parsed.problems[0].text, /\{QTtext\}/);
  assert.deepEqual(parseTrack("").problems.map((p) => p.line), [1]);

  // Junk is reported by line, and the samples around it still play.
  parsed = parseTrack("{QTtext}\n[00:00:00.00]\nA<foil0.html> T<myfoil>\n\u0000\u00ff<<>>\u001a\n" +
                      "[00:00:02.0]\n[00:00:03.00]\nA<foil1.html> T<myfoil>\n[00:00:04.00]\n");
  assert.deepEqual(spans(parsed.samples), ["foil0.html@0-3", "foil1.html@3-4"]);
  assert.deepEqual(parsed.problems.map((p) => p.line), [4, 5]);

  const lines = ["{QTtext}{font:Geneva}"];
  for (let i = 0; i < 100000; i += 1) {
    const s = String(i % 60).padStart(2, "0");
    lines.push(`[${String(Math.floor(i / 3600)).padStart(2, "0")}:${String(Math.floor(i / 60) % 60).padStart(2, "0")}:${s}.00]`,
               `A<foil${i}.html> T<myfoil>`);
  }
  lines.push("[99:00:00.00]", "");
  const started = performance.now();
  parsed = parseTrack(lines.join("\r\n"));
  const took = performance.now() - started;
  assert.equal(parsed.samples.length, 100000);
  assert.ok(took < 1000, `100,000 samples took ${took.toFixed(0)} ms`);
});

test("only a track of the page's own origin plays", () => {
  const page = "http://127.0.0.1:8000/lecture/index.html?track=x";
  assert.equal(sameOrigin("HREFTrack.txt", page), true);
  assert.equal(sameOrigin("/other/HREFTrack.txt", page), true);
  for (const refused of ["http://localhost:8000/HREFTrack.txt", "https://127.0.0.1:8000/a.txt",
                         "http://127.0.0.1:8001/a.txt", "//elsewhere.example/a.txt",
                         "data:text/plain,{QTtext}", "http://[::1/"]) {
    assert.equal(sameOrigin(refused, page), false, refused);
  }
  // A page opened from disk has an opaque origin, which matches nothing.
  assert.equal(sameOrigin("HREFTrack.txt", "file:///home/a/index.html"), false);
});

test("entry labels: the slide's number as written, or the address; m:ss, h:mm:ss", () => {
  const label = (url, start) => entryLabel({ url, start });
  assert.deepEqual(label("http://x/lecture/foil12.html", 41.99), { name: "Lysark 12", start: "0:41" });
  assert.deepEqual(label("foil007.html", 59 * 60 + 59.5), { name: "Lysark 007", start: "59:59" });
  assert.deepEqual(label("http://x/foil.html", 3600), { name: "http://x/foil.html", start: "1:00:00" });
  assert.deepEqual(label("http://x/myfoil3.html", 360000 + 61), { name: "http://x/myfoil3.html",
                                                                  start: "100:01:01" });
});

test("which sample plays, and where PageUp and PageDown go from it", () => {
  // Samples in the order of their start, as the page keeps them: a gap from
  // 5 to 6, and an overlap where the log's times went back (6-20 and 10-30).
  const samples = [[0, 3], [3, 5], [6, 20], [10, 30]].map(([start, end]) => ({ start, end }));
  const at = [0, 2.99, 3, 4.99, 5, 5.5, 6, 9.99, 10, 29.99, 30].map((t) => sampleAt(samples, t));
  assert.deepEqual(at, [0, 0, 1, 1, -1, -1, 2, 2, 3, 3, -1]);
  // From a sample: exactly one step, never past either end.
  assert.deepEqual([0, 1, 2, 3].map((c) => stepFrom(samples, c, 99, -1)), [-1, 0, 1, 2]);
  assert.deepEqual([0, 1, 2, 3].map((c) => stepFrom(samples, c, 0, 1)), [1, 2, 3, -1]);
  // From no sample: the next one starting later, the last one starting earlier.
  assert.deepEqual([5.5, 30].map((t) => stepFrom(samples, -1, t, 1)), [2, -1]);
  assert.deepEqual([5.5, 30, 0].map((t) => stepFrom(samples, -1, t, -1)), [1, 3, -1]);
});

test("t= and captionslang= in a link, text fields, and the files a user chooses", () => {
  assert.deepEqual(["41", "2460.5", ".5", "7.", null].map(startTime), [41, 2460.5, 0.5, 7, null]);
  for (const refused of ["", "-1", "1e3", "0x10", "1:20", " 5", "Infinity"]) {
    assert.ok(Number.isNaN(startTime(refused)), refused);
  }
  assert.deepEqual([null, "en", "nn", "zh-Hant-TW"].map(captionsLanguage), ["no", "en", "nn", "zh-Hant-TW"]);
  for (const refused of ["", "n", "no_NO", "en-", "<b>", "toolonglanguage"]) {
    assert.equal(captionsLanguage(refused), null, refused);
  }
  assert.deepEqual(["no", "NB", "en"].map(captionsLabel), ["Norsk", "Norsk bokmaal", "Teksting (en)"]);

  const field = (tagName, type, isContentEditable = false) => ({ tagName, type, isContentEditable });
  assert.deepEqual([field("INPUT", "text"), field("INPUT", ""), field("input", "search"),
                    field("TEXTAREA"), field("DIV", undefined, true)].map(isTextField),
                   [true, true, true, true, true]);
  assert.deepEqual([field("INPUT", "file"), field("BUTTON"), field("VIDEO"), null].map(isTextField),
                   [false, false, false, false]);

  const file = (name, type = "") => ({ name, type });
  let chosen = chooseFiles([file("notes.txt"), file("HREFTrack.txt"), file("a.txt"),
                            file("slides.pdf", "application/pdf"), file("tekst.VTT", "text/vtt")], {});
  assert.equal(chosen.track.name, "HREFTrack.txt");
  assert.equal(chosen.captions.name, "tekst.VTT");
  assert.equal(chosen.recording, null);
  assert.deepEqual(chosen.ignored, ["slides.pdf"]);
  // A second choice adds to the first.
  chosen = chooseFiles([file("FORELESNING.WEBM")], { recording: null, track: chosen.track,
                                                    captions: null });
  assert.deepEqual([chosen.recording.name, chosen.track.name], ["FORELESNING.WEBM", "HREFTrack.txt"]);
  assert.equal(chooseFiles([file("opptak", "video/mp4")], {}).recording.name, "opptak");
});
