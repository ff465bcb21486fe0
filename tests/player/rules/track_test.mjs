// SPDX-License-Identifier: MIT
// The player's reading of tracks, on tracks the built tool writes and on hostile ones.
import { test } from "node:test";
import assert from "node:assert/strict";
import { readFileSync } from "node:fs";
import { join } from "node:path";
import { root, command, toolTrack, spans, base, manySamples } from "./rules.mjs";

const { words, allowedUrl, maxSamples, parseTrack, playableSamples, problemMessages, readTrack } = globalThis;

test("a track of the tool: each sample until the next stamp, the last until the play length",
     { skip: command.length === 0 && "HREFTRACK_COMMAND is not set" }, () => {
  const example = readFileSync(join(root, "examples/HREFTrack.expected.txt"), "latin1");
  let parsed = parseTrack(example);
  assert.deepEqual([parsed.problems, parsed.hidden], [[], []]);
  assert.equal(parsed.samples.length, example.match(/^\[.*\]\r$/gm).length - 1);
  for (let i = 1; i < parsed.samples.length; i += 1) {
    assert.equal(parsed.samples[i - 1].end, parsed.samples[i].start);
  }
  // .FF are hundredths; a stamp of three hour digits is read whole.
  parsed = parseTrack(toolTrack("<slide>1 1:0:0 ", "99 0 0", "0 0 1 5"));
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
});

test("hostile tracks: no header, junk lines, refused addresses and frames, too many samples", () => {
  for (const headless of ["", "[00:00:00.00]\nA<foil0.html> T<myfoil>\n[00:00:05.00]\n"]) {
    const parsed = parseTrack(headless);
    assert.deepEqual(parsed.samples, []);
    assert.deepEqual(parsed.problems.map((p) => p.line), [0]);
    assert.match(parsed.problems[0].text, /\{QTtext\}/);
  }
  // Junk is reported by line, and the samples around it still play.
  let parsed = parseTrack("{QTtext}\n[00:00:00.00]\nA<foil0.html> T<myfoil>\n\u0000\u00ff<<>>\u001a\n" +
                          "[00:00:02.0]\n[00:00:03.00]\nA<foil1.html> T<myfoil>\n[00:00:04.00]\n" +
                          "A<foil2.html> T<myfoil>\nA<foil3.html> T<myfoil>\n");
  assert.deepEqual(spans(parsed.samples), ["foil0.html@0-3", "foil1.html@3-4"]);
  assert.deepEqual(parsed.problems.map((p) => p.line), [4, 5, 10, 9]);
  // Each line as what it is: an address line before any stamp, a stamp or an address line with more after it;
  // blank lines are no problem, and the last line needs no line end.
  parsed = parseTrack("{QTtext}\nA<foil9.html> T<f>\n[00:00:01.00]x\n[00:00:01.00]\n \t\n\nA<foil0.html> T<f>y\n" +
                      "A<foil1.html> T<f>\n[00:00:02.00]");
  assert.deepEqual(parsed.problems.map((p) => p.text), [words.track.noStamp(2), words.track.unknownLine(3),
                                                         words.track.unknownLine(7)]);
  assert.deepEqual([spans(parsed.samples), parsed.closing], [["foil1.html@1-2"], 2]);

  assert.equal(allowedUrl("foil1.html", base), "http://127.0.0.1:8000/lecture/foil1.html");
  assert.equal(allowedUrl("https://example.org/a.html", base), "https://example.org/a.html");
  assert.equal(allowedUrl("http://example.org/a.html", base), "http://example.org/a.html");
  // A lecture chosen from disk has its slides beside its page.
  assert.equal(allowedUrl("foil1.html", "file:///home/a/index.html"), "file:///home/a/foil1.html");
  for (const refused of ["javascript:alert(1)", "JavaScript:alert(1)", " javascript:alert(1)", " \t javascript:x",
                         "java\tscript:alert(1)", "data:text/html,<b>x</b>", "file:///etc/passwd",
                         "vbscript:x", "blob:http://x/1", "http://[::1/"]) {
    assert.equal(allowedUrl(refused, base), null, refused);
  }
  const played = playableSamples(parseTrack(
    "{QTtext}\r\n[00:00:09.00]\r\nA<foil0.html> T<myfoil>\r\n[00:00:05.00]\r\n" +
    "A<javascript:alert(1)> T<myfoil>\r\n[00:00:09.00]\r\nA<foil2.html> T<otherframe>\r\n" +
    "[00:00:12.00]\r\nA<foil3.html> T<myfoil>\r\n[00:00:13.00]\r\n"), base, "myfoil");
  // In the order of their start, whatever the order of the file.
  assert.deepEqual(played.samples.map((s) => s.href.split("/").pop()), ["foil3.html"]);
  assert.deepEqual(played.problems.map((p) => p.line), [5, 7]);
  assert.match(played.problems[0].text, /^Linje 5: .*javascript:alert\(1\).* ikke tillatt/);

  // A page plays at most maxSamples samples; a longer track is refused whole.
  assert.equal(parseTrack(manySamples(maxSamples)).samples.length, maxSamples);
  parsed = parseTrack(manySamples(maxSamples + 1));
  assert.deepEqual([parsed.samples.length, parsed.hidden.length, parsed.problems.length], [0, 0, 1]);
  assert.match(parsed.problems[0].text, /flere enn 100.000 sider/);
  // Samples that the times going back hide count too: half of them hidden is no way past the cap.
  parsed = parseTrack(`{QTtext}\n${"[00:00:10.00]\nA<a.html> T<f>\n[00:00:05.00]\nA<b.html> T<f>\n".repeat(maxSamples / 2 + 1)}` +
                      "[00:00:10.00]\n");
  assert.deepEqual([parsed.samples.length, parsed.problems.length], [0, 1]);
});

test("a track read for the page: its slides load in its first sample's frame, the others' refused", () => {
  // Taken from any other sample, the frame would refuse the slides of the first.
  const read = readTrack("{QTtext}\r\n[00:00:00.00]\r\nA<foil0.html> T<one>\r\n[00:00:05.00]\r\n" +
                         "A<foil1.html> T<two>\r\n[00:00:07.00]\r\n", base);
  assert.deepEqual([read.target, read.closing, read.samples.map((s) => s.url)], ["one", 7, ["foil0.html"]]);
  assert.deepEqual(read.messages, ['Linje 5: rammen "two" finnes ikke på siden.']);
  assert.deepEqual(readTrack("", base).target, "", "a track of no sample names no frame");
  // The track's own problems come first, then its samples play in the order of their start.
  const reversed = readTrack("{QTtext}\n[00:00:10.00]\nA<b.html> T<f>\n[00:00:12.00]\n[00:00:05.00]\n" +
                             "A<a.html> T<f>\n[00:00:08.00]\njunk\n", base);
  assert.deepEqual([reversed.samples.map((s) => s.url), reversed.messages], [["a.html", "b.html"],
                                                                            [words.track.unknownLine(8)]]);
});

test("a track's problems: ten shown, the rest counted, so a screen reader is not flooded", () => {
  const problems = Array.from({ length: 30000 }, (_, i) => ({ line: i + 2, text: `Linje ${i + 2}` }));
  const shown = problemMessages(problems);
  assert.equal(shown.length, 11);
  assert.equal(shown[9], "Linje 11");
  assert.match(shown[10], /^… og 29.990 problemer til i sporet/);
  assert.deepEqual(problemMessages(problems.slice(0, 10)), problems.slice(0, 10).map((p) => p.text));
});
