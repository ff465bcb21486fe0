// SPDX-License-Identifier: MIT
// The web player's pure functions: its reading of tracks, on tracks that the
// built tool writes, of its own address, of the files a user chooses, its
// decisions as the recording plays and the user moves, what it keeps on the
// student's machine, and the files it makes of a lecture.
//
//   HREFTRACK_COMMAND='tool' node --test tests/player/player_test.mjs
//
// HREFTRACK_COMMAND is the command that starts the tool, its words separated
// by ';' as CMake lists them (an emulator may come first).
import { test } from "node:test";
import assert from "node:assert/strict";
import { execFileSync } from "node:child_process";
import { mkdtempSync, readdirSync, readFileSync, rmSync, writeFileSync } from "node:fs";
import { createRequire } from "node:module";
import { tmpdir } from "node:os";
import { join } from "node:path";

import { longTrack } from "./lecture.mjs";

// The player's scripts are classic scripts, which share their functions as
// the page's globals.  Node loads each of its rules as a CommonJS module, as
// index.html loads them and in its order; its exports are made globals
// here, so that each script finds the others' as it does in the page.
const require = createRequire(import.meta.url);
const player = new URL("../../player/", import.meta.url).pathname;
const loaded = [...readFileSync(join(player, "index.html"), "utf8").matchAll(/<script src="([^"]+)" defer><\/script>/g)]
  .map((script) => script[1]);
const rules = loaded.filter((script) => script.startsWith("rules/"));
for (const script of rules) Object.assign(globalThis, require(join(player, script)));
const { words, allowedUrl, maxSamples, parseTrack, playableSamples, problemMessages, captionsLabel, fileName,
        readLink, sameOrigin, chooseFiles, chosenSlide, chosenPath, fileAt, missingSlides, cssAddresses, rewriteCss, entryLabel, listKey, rowsToLayOut, slideTitles, foldText,
        indexLecture, markWords, queryWords, searchLecture, recordingProblem, seeksTo, seeksNowhere, seekProblem,
        formatLength, playLengthAnswer, lengthProblem, slideProblem, unchosenSlideMessages, slideMessages,
        makeMarkupReader, makeSlideTextSink, decodeAttribute,
        decide, initialState, isTextField,
        sampleAt, spanAt, stepFrom, lectureKey, readLecture, readSettings, momentToKeep, makeMemory, sortNotes,
        lectureChapters, chaptersVtt, groupNotes, notesMarkdown, momentLink, lectureName, timelineSegments,
        timelineKey } = globalThis;

const root = new URL("../..", import.meta.url).pathname;
const command = (process.env.HREFTRACK_COMMAND ?? "").split(";").filter((word) => word !== "");

test("the page loads every script of the player, and its rules touch no browser", () => {
  // A script left out of index.html would be missing from the page, and its rules from these tests.
  const scripts = readdirSync(player, { recursive: true }).filter((name) => name.endsWith(".js"));
  assert.deepEqual([...loaded].sort(), scripts.sort());
  assert.deepEqual([loaded[0], loaded.at(-1)], ["rules/words.js", "page.js"]);
  // What is pure takes what it needs of the page as arguments; only the rest may reach for it.
  for (const script of rules) {
    const code = readFileSync(join(player, script), "utf8").replace(/\/\*[\s\S]*?\*\/|\/\/.*$/gm, "");
    const reaches = /\b(document|window|localStorage|navigator|location|fetch|DOMParser|URL\.createObjectURL)\b/.exec(code);
    assert.equal(reaches?.[0], undefined, `${script} reaches for ${reaches?.[0]}`);
  }
});

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

// A track of `count` samples a second apart.
const manySamples = (count) => longTrack("{QTtext}{font:Geneva}", count, 100, (i) => `foil${i}.html`);

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

  assert.equal(allowedUrl("foil1.html", base), "http://127.0.0.1:8000/lecture/foil1.html");
  assert.equal(allowedUrl("https://example.org/a.html", base), "https://example.org/a.html");
  for (const refused of ["javascript:alert(1)", "JavaScript:alert(1)", " javascript:alert(1)",
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
  assert.deepEqual([parsed.samples.length, parsed.problems.length], [0, 1]);
  assert.match(parsed.problems[0].text, /flere enn 100.000 sider/);
});

test("a track's problems: ten shown, the rest counted, so a screen reader is not flooded", () => {
  const problems = Array.from({ length: 30000 }, (_, i) => ({ line: i + 2, text: `Linje ${i + 2}` }));
  const shown = problemMessages(problems);
  assert.equal(shown.length, 11);
  assert.equal(shown[9], "Linje 11");
  assert.match(shown[10], /^… og 29.990 problemer til i sporet/);
  assert.deepEqual(problemMessages(problems.slice(0, 10)), problems.slice(0, 10).map((p) => p.text));
});

test("the link: the track and captions of the page's own origin only, t=, captionslang=, disk", () => {
  const page = "http://127.0.0.1:8000/lecture/index.html";
  let link = readLink(`${page}?video=a.webm&track=t.txt&captions=c.vtt&t=2460.5&captionslang=nn`);
  assert.deepEqual(link, { track: "http://127.0.0.1:8000/lecture/t.txt",
    video: "http://127.0.0.1:8000/lecture/a.webm", captions: "http://127.0.0.1:8000/lecture/c.vtt",
    startAt: 2460.5, language: "nn", chooser: false, messages: [] });
  // video= alone plays HREFTrack.txt beside the page, and offers the chooser.
  link = readLink(`${page}?video=https://media.example/a.webm`);
  assert.deepEqual([link.track, link.video, link.chooser],
                   ["http://127.0.0.1:8000/lecture/HREFTrack.txt", "https://media.example/a.webm", true]);
  for (const foreign of ["http://localhost:8000/t.txt", "https://127.0.0.1:8000/t.txt",
                         "http://127.0.0.1:8001/t.txt", "//elsewhere.example/t.txt", "data:text/plain,x"]) {
    link = readLink(`${page}?video=a.webm&track=${encodeURIComponent(foreign)}`);
    assert.deepEqual([link.track, link.video], [null, null], foreign);
    assert.match(link.messages[0], /ligger på et annet nettsted enn spilleren, og spilles ikke/);
  }
  link = readLink(`${page}?video=a.webm&track=t.txt&captions=http://localhost:8000/c.vtt`);
  assert.deepEqual([link.track !== null, link.captions], [true, null]);
  assert.match(link.messages[0], /^Tekstingen .* brukes ikke/);
  for (const [t, startAt] of [["41", 41], [".5", 0.5], ["7.", 7]]) {
    assert.equal(readLink(`${page}?t=${t}`).startAt, startAt);
  }
  for (const t of ["", "-1", "1e3", "0x10", "1:20", "%205", "Infinity"]) {
    link = readLink(`${page}?t=${t}`);
    assert.deepEqual([link.startAt, link.messages.length], [null, 1], t);
  }
  // Digits past what a number holds are no time, said by their start.
  link = readLink(`${page}?t=${"9".repeat(311)}`);
  assert.deepEqual([link.startAt, link.messages], [null, [words.link.notSeconds(`${"9".repeat(20)}…`)]]);
  for (const lang of ["", "n", "no_NO", "en-", "<b>", "toolonglanguage"]) {
    link = readLink(`${page}?captionslang=${encodeURIComponent(lang)}`);
    assert.deepEqual([link.language, link.messages.length], ["no", 1], lang);
  }
  assert.deepEqual(["no", "NB", "en"].map(captionsLabel), ["Norsk", "Norsk bokmål", "Teksting (en)"]);
  // A page opened from disk fetches nothing: it offers the chooser, and says so if asked to.
  link = readLink("file:///home/a/index.html?video=a.webm&track=HREFTrack.txt");
  assert.deepEqual([link.track, link.video, link.chooser, link.messages.length], [null, null, true, 1]);
  assert.equal(sameOrigin("HREFTrack.txt", "file:///home/a/index.html"), false);
  // An address that is none is reported, never thrown.
  link = readLink(`${page}?video=http://[::1&track=t.txt`);
  assert.deepEqual([link.video, link.messages.length], [null, 1]);
  // A file is named to its user as they know it.
  assert.equal(fileName("http://127.0.0.1:8000/r%C3%B8d%20forelesning.webm?x=1"), "rød forelesning.webm");
});

test("a recording that fails is named with what went wrong, as its server and the browser tell", () => {
  const said = (code, status, chosen = false, ranges = null) => recordingProblem("a.webm", code, status, chosen, ranges);
  const { missing, unplayable, missingOrUnplayable, network, damaged, refused, noRanges } = words.recording;
  assert.deepEqual([said(4, 404), said(4, 200), said(4, null), said(4, null, true), said(4, 403), said(2, null),
                    said(3, 200), said(1, null)],
                   [missing("a.webm"), unplayable("a.webm"), missingOrUnplayable("a.webm"), unplayable("a.webm"),
                    refused("a.webm", 403), network("a.webm"), damaged("a.webm"), null]);
  // WebKit refuses a recording it cannot read in parts: the server is named, not the file's type.
  assert.deepEqual([said(4, 200, false, false), said(4, 200, false, true), said(4, 404, false, false)],
                   [noRanges("a.webm"), unplayable("a.webm"), missing("a.webm")]);
});

test("a recording that cannot seek is told from one that can, and its server named where it answers no ranges",
     () => {
  // As the engines report it: Chromium without byte ranges seeks nowhere,
  // Firefox only in what it has fetched; a seek past the end goes to the end.
  const cases = [["no ranges, Chromium", [[0, 0]], 20, [true, false, true]],
                 ["no ranges, Firefox", [[0, 9.64]], 20, [false, false, true]],
                 ["byte ranges", [[0, 20]], 20, [false, true, true]],
                 ["past the end", [[0, 20]], 10, [false, true, true]],
                 ["length not yet known", [], NaN, [false, false, false]],
                 ["a stream", [], Infinity, [false, false, false]]];
  for (const [what, seekable, duration, expected] of cases) {
    assert.deepEqual([seeksNowhere(seekable, duration), seeksTo(seekable, duration, 12), seeksTo(seekable, duration, 0)],
                     expected, what);
  }
  const { unseekable, unseekableFile, unseekableMaybe } = words.recording;
  assert.deepEqual([false, true, null].map((ranges) => seekProblem("a.webm", ranges)),
                   [unseekable("a.webm"), unseekableFile("a.webm"), unseekableMaybe("a.webm")]);
  assert.match(unseekable("a.webm"), /byteområder.*npx http-server \(python3 -m http.server gjør det ikke\)/);
});

test("a track made for another play length: both lengths said, and the answer the tool takes for the recording",
     { skip: command.length === 0 && "HREFTRACK_COMMAND is not set" }, () => {
  assert.equal(lengthProblem(30, 20), words.recording.length("0:30.00", "0:20.00", "0 0 20 0"));
  // Within a tenth of a second, or with a length not known, nothing is said.
  assert.deepEqual([lengthProblem(20, 20.04), lengthProblem(20, 20.1), lengthProblem(null, 20), lengthProblem(20, NaN),
                    lengthProblem(20, Infinity)], [null, null, null, null, null]);
  assert.notEqual(lengthProblem(20, 20.11), null);
  // Rounded to the hundredth, carried into the minute, and refused past what the dialogue takes.
  assert.deepEqual([330, 3723.04, 59.996, 20.004, 359999.99, 360000].map(playLengthAnswer),
                   ["0 5 30 0", "1 2 3 4", "0 1 0 0", "0 0 20 0", "99 59 59 99", null]);
  assert.deepEqual([3723.04, 330, 0.5].map(formatLength), ["1:02:03.04", "5:30.00", "0:00.50"]);
  assert.match(lengthProblem(400000, 360000), /ikke spor som er lengre enn 99:59:59\.99/);
  // The answer, given to the tool, makes a track that closes at the recording's length.
  for (const seconds of [330, 3723.04, 59.996]) {
    const closing = parseTrack(toolTrack("", "0 0 0", playLengthAnswer(seconds))).closing;
    assert.equal(closing, Math.round(seconds * 100) / 100, String(seconds));
  }
});

test("a slide page the server does not give is said by its name, at most ten and a count; foil0.html explained",
     () => {
  assert.deepEqual([[404, "foil3.html"], [410, "foil3.html"], [404, "foil0.html"], [500, "foil3.html"],
                    [403, "foil3.html"]].map(([status, url]) => slideProblem(url, status)),
                   [words.slides.missing("foil3.html"), words.slides.missing("foil3.html"),
                    words.slides.missingOpening("foil0.html"), words.slides.refused("foil3.html", 500),
                    words.slides.refused("foil3.html", 403)]);
  // There, redirected, or without an answer (a redirect to another site looks so): nothing said.
  assert.deepEqual([200, 304, 0].map((status) => slideProblem("foil3.html", status)), [null, null, null]);
  // In the order the slides play, however many are missing.
  const urls = Array.from({ length: 40 }, (_, i) => `foil${39 - i}.html`);
  const said = slideMessages(urls, new Map(urls.map((url) => [url, 404])), new Set());
  assert.deepEqual([said.length, said[0], said[10]],
                   [11, words.slides.missing("foil39.html"), words.slides.more(30)]);
  assert.deepEqual(slideMessages(["foil1.html", "foil2.html"], new Map([["foil1.html", 200]]), new Set()), []);
  // A page too long to read whole is said, once, in the same count.
  assert.deepEqual(slideMessages(["foil1.html", "foil2.html"], new Map([["foil2.html", 404]]), new Set(["foil1.html"])),
                   [words.slides.readInPart("foil1.html"), words.slides.missing("foil2.html")]);
});

test("a track chosen from disk without its slides: one message that says how; some missing: ten and a count", () => {
  const urls = (count) => Array.from({ length: count }, (_, i) => `foil${i}.html`);
  assert.deepEqual(unchosenSlideMessages(urls(40), 40), [words.chooser.noSlides]);
  const said = unchosenSlideMessages(urls(295), 300);
  assert.deepEqual([said.length, said[9], said[10]],
                   [11, words.chooser.missingSlide("foil9.html"), words.slides.more(285)]);
  assert.deepEqual(unchosenSlideMessages([], 0), []);
});

test("the files a user chooses: the track, captions and recording, one at a time too", () => {
  const file = (name, type = "") => ({ name, type });
  let chosen = chooseFiles([file("notes.txt"), file("HREFTrack.txt"), file("a.txt"),
                            file("slides.pdf", "application/pdf"), file("tekst.VTT", "text/vtt"),
                            file("bilde.PNG"), file("stil.css"), file("skrift.woff2")], {});
  // What a slide shows (a picture, a style sheet, a font) is of use.
  assert.deepEqual([chosen.track.name, chosen.captions.name, chosen.recording, chosen.ignored],
                   ["HREFTrack.txt", "tekst.VTT", null, ["slides.pdf"]]);
  chosen = chooseFiles([file("FORELESNING.WEBM")], chosen);
  assert.deepEqual([chosen.recording.name, chosen.track.name], ["FORELESNING.WEBM", "HREFTrack.txt"]);
  assert.equal(chooseFiles([file("opptak", "video/mp4")], {}).recording.name, "opptak");
  // The lecture's whole folder: every file is kept by its place, and the
  // files of no use are passed by without a word.
  const inFolder = (path, type = "") => ({ name: path.split("/").pop(), type, path });
  chosen = chooseFiles(["lecture/answers.txt", "lecture/HREFTrack.txt", "lecture/log.xml",
                        "lecture/foil1.html", "lecture/sider/foil2.htm", "lecture/lecture.webm"]
    .map((path) => inFolder(path)), {});
  assert.deepEqual([chosen.track.path, chosen.recording.path, chosen.files.size, chosen.ignored],
                   ["lecture/HREFTrack.txt", "lecture/lecture.webm", 6, []]);
  // A slide is found as the track names it, relative to the track, and only inside the folder.
  assert.deepEqual(["foil1.html", "sider/foil2.htm", "./foil1.html", "../foil1.html", "foil9.html",
                    "http://x/foil1.html"].map((url) => chosenSlide(url, chosen)?.path ?? null),
                   ["lecture/foil1.html", "lecture/sider/foil2.htm", "lecture/foil1.html", null, null, null]);
  // Files chosen one by one come without their place: found by their name.
  const alone = new Map([["lecture/foil1.html", inFolder("lecture/foil1.html")], ["rød.png", file("rød.png")]]);
  assert.deepEqual(["lecture/bilder/rød.png", "lecture/foil1.html", "lecture/foil2.html", null]
    .map((path) => fileAt(alone, path)?.name ?? null), ["rød.png", "foil1.html", null, null]);
  // Missing: each once, in the order they play; an address of another scheme is no chosen file.
  assert.deepEqual(missingSlides(["foil3.html", "foil1.html", "foil3.html", "../foil1.html", "https://x/a.html"]
    .map((url) => ({ url })), chosen), ["foil3.html", "../foil1.html"]);
  // As the URL parser reads it: blanks before the scheme leave it a scheme, not a file named so.
  assert.deepEqual(missingSlides([{ url: " https://x/a.html" }], chosen), []);
});

test("what a chosen slide names is found among the chosen files as a browser resolves it", () => {
  const page = "forelesning/sider/foil1.html";
  assert.deepEqual(["bilder/r%C3%B8d.png", "bilder/rød.png", "../stil.css?v=2#x", "./a%20b.png", "../../alene.png",
                    "../../../utenfor.png", "/rot.png", "http://x/a.png", "data:image/png;base64,AA==", "//x/a.png"]
    .map((address) => chosenPath(address, page)),
                   ["forelesning/sider/bilder/rød.png", "forelesning/sider/bilder/rød.png", "forelesning/stil.css",
                    "forelesning/sider/a b.png", "alene.png", null, null, null, null, null]);
  // A style sheet's addresses, in every form url() and imports take, are found and replaced.
  const css = "a { background: url( 'x.png' ) } b { src: url(f.woff2) format(\"woff2\") } @import \"c.css\";\n" +
              "@import url(d.css); i { x: url(data:image/png;base64,AA==) }";
  assert.deepEqual(cssAddresses(css), ["x.png", "f.woff2", "d.css", "data:image/png;base64,AA==", "c.css"]);
  assert.equal(rewriteCss(css, (address) => (address.startsWith("data:") ? address : `data:${address}"`)),
               "a { background: url(\"data:x.png\\\"\") } b { src: url(\"data:f.woff2\\\"\") format(\"woff2\") } " +
               "@import \"data:c.css\\\"\";\n@import url(\"data:d.css\\\"\"); i { x: url(\"data:image/png;base64,AA==\") }");
});

test("the rows the list lays out: those in view and more on each side, never past its ends", () => {
  const rows = (count, scrollTop, rowHeight = 35, centre = 0) =>
    rowsToLayOut({ count, rowHeight, scrollTop, viewHeight: 350, around: 250, centre });
  assert.deepEqual(rows(100000, 35 * 5000), { first: 4750, end: 5260 });
  assert.deepEqual(rows(100000, 35 * 99990 + 17), { first: 99740, end: 100000 });
  assert.deepEqual(rows(4, 0), { first: 0, end: 4 });
  // Before a row is laid out, its height is not known: the rows around the marked one.
  assert.deepEqual(rows(100000, 0, 0, 90000), { first: 89750, end: 90251 });
});

// What a slide's mark-up reads as, fed to the reader in blocks of `size`
// (the whole at once where none), its white space collapsed.
function readMarkup(html, size = html.length || 1) {
  const { sink, slide } = makeSlideTextSink();
  const reader = makeMarkupReader(sink);
  for (let at = 0; at < html.length; at += size) reader.feed(html.slice(at, at + size));
  reader.end();
  const read = slide();
  const collapse = (text) => text.replace(/\s+/g, " ").trim();
  return [collapse(read.title), collapse(read.heading), collapse(read.text)];
}

test("a slide's text, title and heading as a browser reads them, however its mark-up is cut into blocks", () => {
  const cases = [
    // Text between elements a blank apart; a heading's own text as one.
    ["<title>Måling &amp; tid</title><h1>Måling <em>av</em> tid</h1><p>Tekst", ["Måling &amp; tid", "Måling av tid",
                                                                            "Måling av tid Tekst"]],
    // A ">" in a quoted value ends no tag; handlers and styles say nothing.
    ['<p title="a>b" style=\'x>y\' onclick="go()">x</p>', ["", "", "x"]],
    // What is no text: scripts, styles, comments (which part no words, as on the screen), doctypes,
    // templates, noscript.
    ['<!doctype html><?xml x?><script>if (a<b) "</p>"</script ><style>p{}</STYLE>a<!-- <p>b</p> -- -->c',
     ["", "", "ac"]],
    ["<template><template>a</template>b</template><noscript>n</noscript>c", ["", "", "c"]],
    // A raw element's text is text, a "<" in it too; xmp's "&" is no reference.
    ["<textarea><b>x</b></textarea><xmp>&amp;</xmp>", ["", "", "&lt;b>x&lt;/b> &amp;amp;"]],
    ["<title>a<b>c</title><title>second</title>", ["a&lt;b>c", "", ""]],
    // In SVG a title is no page title, and CDATA is text; outside it a comment.
    ["<svg><title>s</title><![CDATA[a<b]]></svg><![CDATA[x]]>t<title>T</title>", ["T", "", "s a&lt;b t"]],
    // The first heading only; a heading begun ends the one open.
    ["<h2>a<h1>b</h1><h1>c</h1>", ["", "a", "a b c"]],
    // What only looks like a tag is text; what the text ends in is dropped.
    ["a < b <3 </ p> </> x<p class=\"y", ["", "", "a &lt; b &lt;3 x"]],
    ["<script>x</scrip</script>y</SCRIPT", ["", "", "y"]],
  ];
  for (const [html, expected] of cases) {
    for (const size of [undefined, 1, 2, 3, 7]) {
      assert.deepEqual(readMarkup(html, size), expected, `${html} in blocks of ${size ?? "all"}`);
    }
  }
});

test("a tag's attributes as a browser reads them: names in lower case, values as written, the first of a name",
     () => {
  const tags = [];
  const reader = makeMarkupReader({ text() {}, close() {},
                                    open: (name, attributes, closed, foreign) => tags.push([name, attributes, closed, foreign]) });
  reader.feed(`<IMG SRC=a.png alt='x "y"' data-z = "1" checked><p =x><a b="1"c=2/><br/><svg><path d="M0"/></svg>`);
  reader.end();
  assert.deepEqual(tags, [
    ["img", [["src", "a.png"], ["alt", 'x "y"'], ["data-z", "1"], ["checked", null]], false, false],
    ["p", [["=x", null]], false, false], ["a", [["b", "1"], ["c", "2/"]], false, false], ["br", [], false, false],
    ["svg", [], false, true], ["path", [["d", "M0"]], true, true]]);
});

test("an address written with references names its file; one past Unicode is no error that drops the slide", () => {
  assert.deepEqual(["bilder/r&#248;d.png", "r&#xF8;d.png", "a&amp;b.png", "&#0;&#55296;&#1114112;&#9999999;", "&eacute;"]
    .map(decodeAttribute), ["bilder/rød.png", "rød.png", "a&b.png", "\ufffd\ufffd\ufffd\ufffd", "&eacute;"]);
});

test("hostile mark-up costs the reader its length, not its square: four times as much takes four times as long",
     () => {
  const hostile = {
    "unclosed tags": (n) => "<a ".repeat(n),
    "one tag's attributes": (n) => `<p ${'onclick="x" '.repeat(n)}>`,
    "unclosed values": (n) => '<p a="'.repeat(n),
    "end tags that never end a script": (n) => `<script>${"</scrip".repeat(n)}`,
    "nested elements": (n) => "<div><b><i>".repeat(n),
  };
  // The least of three runs, in milliseconds, once the reader is warm.
  const took = (html) => Math.min(...[0, 1, 2, 3].map(() => {
    const started = performance.now();
    readMarkup(html, 64 * 1024);
    return performance.now() - started;
  }));
  for (const [name, make] of Object.entries(hostile)) {
    const small = took(make(40000));
    const large = took(make(160000));
    // Linear: about 4; the square: 16.
    assert.ok(large < 8 * Math.max(small, 1), `${name}: ${small.toFixed(1)} ms, four times as much ${large.toFixed(1)} ms`);
  }
});

test("slide titles: the page's title, else its first heading, where the title tells nothing", () => {
  const page = (title, heading = "") => ({ title, heading });
  let titles = slideTitles(new Map([
    ["foil1.html", page("Måling av tid", "Tid")],
    ["foil2.html", page("Lysark 2", "Loggen")],          // only repeats the name
    ["foil3.html", page("", "Sporet")],                    // no title
    ["foil4.html", page("", "")],                          // nothing at all
    ["foil5.html", page("lysark 5", "LYSARK 5")],          // both only repeat it
  ]));
  assert.deepEqual([...titles], [["foil1.html", "Måling av tid"], ["foil2.html", "Loggen"],
                                 ["foil3.html", "Sporet"]]);
  // An export that gives every page the presentation's name: the headings serve.
  titles = slideTitles(new Map([["foil1.html", page("Forelesning 3", "Innledning")],
                                ["foil2.html", page("Forelesning 3", "Målingen")]]));
  assert.deepEqual([...titles.values()], ["Innledning", "Målingen"]);
  assert.deepEqual([...slideTitles(new Map([["foil1.html", page("Forelesning 3", "Innledning")]])).values()],
                   ["Forelesning 3"], "one page alone is not the same on every page");
  assert.deepEqual(entryLabel({ url: "foil1.html", start: 41 }, new Map([["foil1.html", "Måling av tid"]])),
                   { name: "Lysark 1 · Måling av tid", start: "0:41" });
});

test("search: case and accents ignored, æ, ø and å letters of their own, every word, time order", () => {
  assert.equal(foldText("  Café\tCAFÉ  Naïve Ærlig Øl ÅR  ").folded, "cafe cafe naive ærlig øl år");
  const slides = [{ url: "foil0.html", start: 0 }, { url: "foil1.html", start: 3 },
                  { url: "foil0.html", start: 12 }];
  const pages = new Map([["foil0.html", "Velkommen til kafeen: en café au lait, og så måling av tid."],
                         ["foil1.html", "Loggen viser når et lysark ble vist."]]);
  const cues = [{ start: 7, text: "Vi måler tiden med loggen." }, { start: 3, text: "Cafe, sa hun." }];
  const lecture = indexLecture(slides, pages, cues);
  const hits = (query) => searchLecture(lecture, query).map((hit) => `${hit.sample}@${hit.start}`);
  assert.deepEqual(hits("CAFE"), ["0@0", "-1@3", "2@12"], "a slide shown twice is two hits");
  assert.deepEqual(hits("café"), hits("cafe"));
  assert.deepEqual(hits("maling"), [], "å is no a");
  assert.deepEqual(hits("måling"), ["0@0", "2@12"]);
  assert.deepEqual(hits("loggen måler"), ["-1@7"], "every word, anywhere in the text");
  assert.deepEqual(hits("lOgGeN"), ["1@3", "-1@7"], "a slide before a caption of the same start");
  assert.deepEqual([hits(""), hits("   "), hits("ingensteds")], [[], [], []]);
  // Saved decomposed, as macOS saves it, å is still å.
  const decomposed = indexLecture([{ url: "a", start: 0 }], new Map([["a", "Ma\u030Aling av tid"]]), []);
  assert.deepEqual([searchLecture(decomposed, "måling").length, searchLecture(decomposed, "maling").length], [1, 0]);
  // Every place a word of the query stands is marked, words that overlap as one.
  const marked = (text, query) => markWords(foldText(text), queryWords(query))
    .map((part) => (part.marked ? `[${part.text}]` : part.text)).join("");
  assert.equal(marked("Loggen, LOGGEN og loggene.", "loggen"), "[Loggen], [LOGGEN] og [loggen]e.");
  assert.equal(marked("Caféen logger", "cafe log logg"), "[Café]en [logg]er");
  assert.equal(marked("Ma\u030Aling", "måling"), "[Måling]");
  // The excerpt is the original text around the hit, cut at blanks.
  const long = `${"innledning ".repeat(10)}her står Måling av tid midt i${" og mer".repeat(20)}`;
  const [hit] = searchLecture(indexLecture([{ url: "a", start: 0 }], new Map([["a", long]]), []), "maaling måling");
  assert.equal(hit, undefined, "a word that is missing leaves the slide out");
  const [found] = searchLecture(indexLecture([{ url: "a", start: 0 }], new Map([["a", long]]), []), "måling");
  assert.match(found.excerpt, /^… (innledning )+her står Måling av tid midt i( og| mer)+ …$/);
  assert.ok(found.excerpt.length < 130, found.excerpt);
});

test("search keeps up with typing in a lecture of 300 slides and 2,000 captions", () => {
  const words = "måling tid signal verdi kretsen klokka figur kafé æresord øvelse årsak spenning strøm".split(" ");
  const text = (seed, count) => Array.from({ length: count }, (_, i) => words[(seed * 7 + i * 13) % words.length]).join(" ");
  const slides = Array.from({ length: 300 }, (_, i) => ({ url: `foil${i}.html`, start: i * 18 }));
  const pages = new Map(slides.map((slide, i) => [slide.url, text(i, 150)]));
  const cues = Array.from({ length: 2000 }, (_, i) => ({ start: i * 2.7, text: text(i, 12) }));
  const lecture = indexLecture(slides, pages, cues);
  let slowest = 0;
  for (let typed = 1; typed <= "spenning strøm".length; typed += 1) {
    const started = performance.now();
    searchLecture(lecture, "spenning strøm".slice(0, typed));
    slowest = Math.max(slowest, performance.now() - started);
  }
  assert.ok(slowest < 50, `a keystroke took ${slowest} ms`);
});

test("entry labels: the slide's number as written, or the address; m:ss, h:mm:ss", () => {
  const label = (url, start) => entryLabel({ url, start });
  assert.deepEqual(label("http://x/lecture/foil12.html", 41.99), { name: "Lysark 12", start: "0:41" });
  assert.deepEqual(label("foil007.html", 59 * 60 + 59.5), { name: "Lysark 007", start: "59:59" });
  assert.deepEqual(label("http://x/foil.html", 3600), { name: "http://x/foil.html", start: "1:00:00" });
  assert.deepEqual(label("http://x/myfoil3.html", 360000 + 61),
                   { name: "http://x/myfoil3.html", start: "100:01:01" });
});

// Samples in the order of their start, as the page keeps them: a gap from 5
// to 6, and an overlap where the log's times went back (6-20 and 10-30).
const samples = [[0, 3], [3, 5], [6, 20], [10, 30]].map(([start, end], i) =>
  ({ start, end, href: `foil${i}.html` }));

test("keys in a list: Up and Down one entry, Home and End its ends, Enter and Space activate", () => {
  const keyed = (key, active, count = 5, modified = false) => listKey(key, modified, active, count);
  assert.deepEqual(["ArrowDown", "ArrowUp", "Home", "End", "Enter", " "].map((key) => keyed(key, 2)),
                   [[3, false], [1, false], [0, false], [4, false], [2, true], [2, true]]
                     .map(([active, activate]) => ({ active, activate })));
  assert.deepEqual([keyed("ArrowDown", 4).active, keyed("ArrowUp", 0).active], [4, 0], "never past an end");
  // PageUp and PageDown stay the page's; Tab leaves the list.
  assert.deepEqual([keyed("PageDown", 2), keyed("Tab", 2), keyed("ArrowDown", 2, 5, true), keyed("End", 0, 0)],
                   [null, null, null, null]);
});

test("which sample plays at a time, the span it plays in, and where a step goes from it", () => {
  const at = [0, 2.99, 3, 4.99, 5, 5.5, 6, 9.99, 10, 29.99, 30, -1].map((t) => sampleAt(samples, t));
  assert.deepEqual(at, [0, 0, 1, 1, -1, -1, 2, 2, 3, 3, -1, -1]);
  assert.equal(sampleAt([], 0), -1);
  // A span ends where a later sample starts or its own ends, and begins
  // where it started or where a later-started one ended.
  const span = (t) => { const { index, from, to } = spanAt(samples, t); return `${index}@${from}-${to}`; };
  assert.deepEqual([0, 4, 5.5, 7, 12, 25, 35].map(span),
                   ["0@0-3", "1@3-5", "-1@5-6", "2@6-10", "3@10-30", "3@10-30", `-1@30-${Number.MAX_SAFE_INTEGER}`]);
  assert.equal(span(0.5), "0@0-3", "the span of a time inside it is the same");
  // From a sample: exactly one step, never past either end.
  assert.deepEqual([0, 1, 2, 3].map((c) => stepFrom(samples, c, 99, -1)), [-1, 0, 1, 2]);
  assert.deepEqual([0, 1, 2, 3].map((c) => stepFrom(samples, c, 0, 1)), [1, 2, 3, -1]);
  // From no sample: the next one starting later, the last one starting earlier.
  assert.deepEqual([5.5, 30].map((t) => stepFrom(samples, -1, t, 1)), [2, -1]);
  assert.deepEqual([5.5, 30, 0].map((t) => stepFrom(samples, -1, t, -1)), [1, 3, -1]);
});

// Runs `events` from the initial state; returns the last state and every
// action, as "show foil2.html", "seek 3", "mark 1" (the slide list),
// "caption 1" (the transcript), "watch 3-5" or "prevent".
function run(...events) {
  let state = initialState();
  const actions = [];
  for (const event of events) {
    const answer = decide(state, event);
    state = answer.state;
    for (const action of answer.actions) {
      const { type, ...rest } = action;
      if (type === "mark") actions.push(`${rest.list === "slides" ? "mark" : "caption"} ${rest.index}`);
      else if (type === "watch") actions.push(`watch ${rest.from}-${rest.to}`);
      else if (type === "show") actions.push(`show ${rest.href}`);
      else actions.push([type, ...Object.values(rest)].join(" "));
    }
  }
  return { state, actions };
}

const track = (startAt = null, duration = NaN) => ({ type: "track", samples, startAt, duration });
// The recording of the samples is 30 s long.
const ready = { type: "ready", duration: 30 };
const cue = (time) => ({ type: "cue", time });
const seeked = (time) => ({ type: "seeked", time });
const choose = (index) => ({ type: "choose", index });
const key = (name, more = {}) => ({ type: "key", key: name, modified: false, inTextField: false,
                                    time: 0, ...more });

test("the frame follows the recording: the sample that started last, its page kept between samples", () => {
  const { state, actions } = run(track(), ready, cue(4), cue(4.5), cue(5.5), cue(12));
  assert.deepEqual(actions, ["mark 0", "show foil0.html", "watch 0-3",
                             "mark 1", "show foil1.html", "watch 3-5",
                             "mark -1", "watch 5-6",
                             "mark 3", "show foil3.html", "watch 10-30"]);
  assert.equal(state.current, 3);
});

test("the transcript follows the recording through the rules: the span watched ends where either changes", () => {
  const captions = { type: "captions", captions: [{ start: 1, end: 2.5 }, { start: 4, end: 8 }], time: 0 };
  const { actions } = run(track(), ready, captions, cue(1), cue(2.5), cue(4), { type: "go", time: 7 }, choose(0));
  assert.deepEqual(actions.slice(3), ["watch 0-1", "caption 0", "watch 1-2.5", "caption -1", "watch 2.5-3",
                                      "mark 1", "show foil1.html", "caption 1", "watch 4-5",
                                      "mark 2", "show foil2.html", "seek 7",
                                      "mark 0", "show foil0.html", "caption -1", "seek 0"]);
});

test("t= seeks once the recording is ready, and time 0 does not move the frame meanwhile", () => {
  const { state, actions } = run(track(12), cue(0), ready, cue(0), seeked(12), cue(12));
  assert.deepEqual(actions, ["mark 3", "show foil3.html", "watch 10-30", "seek 12"]);
  assert.deepEqual([state.current, state.seeking, state.pendingSeek], [3, false, null]);
  // Ready before the track: the seek goes out at once.
  assert.deepEqual(run(ready, track(7)).actions, ["mark 2", "show foil2.html", "watch 6-10", "seek 7"]);
});

test("a moment chosen, as a caption's start: its page at once, and the recording there", () => {
  assert.deepEqual(run(track(), ready, { type: "go", time: 8 }, seeked(8)).actions.slice(3),
                   ["mark 2", "show foil2.html", "seek 8", "watch 6-10"]);
  // The transcript's caption that plays is found as a slide's sample is.
  const captions = [{ start: 0.5, end: 2.8 }, { start: 3, end: 6.5 }, { start: 6, end: 11.5 }];
  assert.deepEqual([0, 0.5, 2.9, 3, 6.2, 11.5].map((t) => sampleAt(captions, t)), [-1, 0, -1, 1, 2, -1]);
});

test("a t= past the end of the recording is refused once its length is known: slide 0, and no seek", () => {
  // Known as the track arrives, or only once the recording is ready.
  assert.deepEqual(run(ready, track(999, 30)).actions, ["refuse 999 30", "mark 0", "show foil0.html", "watch 0-3"]);
  const { state, actions } = run(track(999), { type: "ready", duration: 30 });
  assert.deepEqual(actions, [`watch 30-${Number.MAX_SAFE_INTEGER}`, "refuse 999 30", "mark 0", "show foil0.html",
                             "watch 0-3"]);
  assert.deepEqual([state.pendingSeek, state.seeking], [null, false]);
  // Within the recording it seeks; a slide chosen meanwhile is no start refused.
  assert.deepEqual(run(track(29), ready).actions.slice(-1), ["seek 29"]);
  assert.deepEqual(run(track(999), choose(1), ready).actions.slice(-1), ["seek 3"]);
});

test("the user has moved once a choice, a moment or a key was answered, so their moment wins; a new track has not",
     () => {
  assert.deepEqual([run(track(), ready), run(track(), ready, key("a")),
                    run(track(), ready, key("PageDown", { inTextField: true })), run(track(), ready, key("PageDown")),
                    run(track(), ready, choose(1)), run(track(), choose(1), track())]
    .map((ran) => ran.state.moved), [false, false, false, true, true, false]);
});

test("a slide chosen before the recording is ready wins over t=", () => {
  const { actions } = run(track(12), choose(1), ready, seeked(3));
  assert.deepEqual(actions, ["mark 3", "show foil3.html", "watch 10-30", "mark 1", "show foil1.html",
                             "seek 3", "watch 3-5"]);
});

test("a seek that cannot take: the slide chosen stays, and the recording is followed from where it is", () => {
  const missed = (time) => ({ type: "missed", time });
  const { state, actions } = run(track(), ready, cue(1), choose(2), missed(1), cue(3));
  assert.deepEqual(actions.slice(3), ["mark 2", "show foil2.html", "seek 6", "mark 1", "show foil1.html", "watch 3-5"]);
  assert.equal(state.seeking, false);
  // Where the recording lands elsewhere, the span there is watched.
  assert.deepEqual(run(track(), ready, choose(3), missed(7)).actions.slice(-2), ["seek 10", "watch 6-10"]);
});

test("a click shows its page at once and seeks; the time it leaves does not move the frame back", () => {
  const { state, actions } = run(track(), ready, choose(2), cue(0), seeked(6));
  assert.deepEqual(actions.slice(3), ["mark 2", "show foil2.html", "seek 6", "watch 6-10"]);
  assert.equal(state.current, 2);
  // A new recording ends every seek of the old one: the recording is followed again.
  assert.deepEqual(run(track(), ready, choose(2), { type: "recording" }, cue(4)).actions.slice(-3),
                   ["mark 1", "show foil1.html", "watch 3-5"]);
});

test("PageUp and PageDown: one sample a press, never past an end, never in a field or with a modifier", () => {
  let { actions } = run(track(), ready, cue(12), key("PageUp"), seeked(6), key("PageUp"));
  assert.deepEqual(actions.slice(6), ["prevent", "mark 2", "show foil2.html", "seek 6", "watch 6-10",
                                      "prevent", "mark 1", "show foil1.html", "seek 3"]);
  ({ actions } = run(track(), ready, key("PageUp"), key("PageDown")));
  assert.deepEqual(actions.slice(3), ["prevent", "prevent", "mark 1", "show foil1.html", "seek 3"]);
  for (const ignored of [key("PageDown", { modified: true }), key("PageDown", { inTextField: true }),
                         key("ArrowDown")]) {
    assert.deepEqual(run(track(), ready, ignored).actions.slice(3), []);
  }
  assert.deepEqual(run(key("PageDown")).actions, []);
  // Between samples a step goes by the time.
  ({ actions } = run(track(), ready, cue(5.5), key("PageDown", { time: 5.5 })));
  assert.deepEqual(actions.slice(-3), ["mark 2", "show foil2.html", "seek 6"]);

  const field = (tagName, type, isContentEditable = false) => ({ tagName, type, isContentEditable });
  assert.deepEqual([field("INPUT", "text"), field("INPUT", ""), field("input", "search"),
                    field("TEXTAREA"), field("DIV", undefined, true)].map(isTextField),
                   [true, true, true, true, true]);
  assert.deepEqual([field("INPUT", "file"), field("BUTTON"), field("VIDEO"), null].map(isTextField),
                   [false, false, false, false]);
});

test("what is kept of a lecture: read back only as the page wrote it; refused storage changes nothing", () => {
  const stored = new Map();
  const memory = makeMemory(() => ({ getItem: (key) => stored.get(key) ?? null,
                                     setItem: (key, value) => stored.set(key, value) }));
  const key = lectureKey("http://x/a.webm", "http://x/HREFTrack.txt");
  const notes = [{ time: 95, text: "Fourier", made: 2 }, { time: 12, text: "Innledning", made: 1 }];
  assert.deepEqual([memory.keep(key, { notes }), memory.keep(key, { moment: 723.5 })], [true, true]);
  assert.deepEqual(memory.lecture(key), { moment: 723.5, notes: [notes[1], notes[0]] }, "a change keeps the rest");
  assert.deepEqual(memory.lecture(lectureKey("a.webm:10", "HREFTrack.txt:20")), { moment: null, notes: [] });
  // Anything the page did not write is passed by, a note at a time.
  for (const foreign of ["", "{", "null", "[]", '{"version":2,"moment":5}', '{"version":1,"moment":-1}',
                         '{"version":1,"moment":"5"}', '{"version":1,"notes":{}}', '{"version":1,"moment":1e308}']) {
    assert.deepEqual(readLecture(foreign), { moment: null, notes: [] }, foreign);
  }
  const mixed = { version: 1, notes: [{ time: 1, text: "god", made: 1 }, { time: "2", text: "x", made: 2 }, null,
                                      { time: 3, text: 7, made: 3 }, { time: 4, text: "y".repeat(20001), made: 4 },
                                      { time: 1e308, text: "past any track", made: 5 }] };
  assert.deepEqual(readLecture(JSON.stringify(mixed)).notes.map((note) => note.text), ["god"]);
  assert.deepEqual(readSettings('{"version":1,"rate":1.5,"captions":false,"transcript":"nei"}'),
                   { rate: 1.5, captions: false, transcript: true });
  assert.equal(readSettings('{"version":1,"rate":100}').rate, 1);
  // Storage refused, as in a private window, or full: nothing is kept, nothing throws.
  const refused = makeMemory(() => { throw new Error("SecurityError"); });
  assert.deepEqual([refused.lecture(key), refused.keep(key, { moment: 5 }), refused.settings()],
                   [{ moment: null, notes: [] }, false, { rate: 1, captions: true, transcript: true }]);
  const full = makeMemory(() => ({ getItem: () => null, setItem: () => { throw new Error("QuotaExceededError"); } }));
  assert.equal(full.keep(key, { moment: 5 }), false);
  full.keepSettings({ rate: 2 });
});

test("the moment kept: none in the first 5 or the last 10 seconds, none taken while the recording seeks", () => {
  assert.deepEqual([[4.9, 100, false], [5, 100, false], [90, 100, false], [90.1, 100, false], [50, 100, true],
                    [50, NaN, false]].map(([time, duration, seeking]) => momentToKeep(time, duration, seeking)),
                   [null, 5, 90, null, undefined, undefined]);
});

test("notes in time order, under the slide of their moment, as Markdown that shows a title as text only", () => {
  const notes = sortNotes([{ time: 8.7, text: "Sporet\nto linjer", made: 3 }, { time: 1, text: "Start", made: 2 },
                           { time: 5.5, text: "I pausen", made: 4 }, { time: 1, text: "Først", made: 1 }]);
  assert.deepEqual(notes.map((note) => note.text), ["Først", "Start", "I pausen", "Sporet\nto linjer"]);
  const groups = groupNotes(notes, samples);
  assert.deepEqual(groups.map((group) => [group.sample, group.notes.length]), [[0, 2], [-1, 1], [2, 1]]);
  const heading = (sample) => (sample < 0 ? "Mellom lysarkene" : `Lysark ${sample} · *Fet* <b>[lenke](javascript:x)`);
  const link = (time) => momentLink("http://x/index.html?video=a.webm&t=3#y", time);
  assert.equal(notesMarkdown("forelesning 3", groups, heading, link), [
    "# Notater: forelesning 3", "",
    "## Lysark 0 · \\*Fet\\* \\<b\\>\\[lenke\\]\\(javascript:x\\)", "",
    "- [0:01](<http://x/index.html?video=a.webm&t=1>) Først",
    "- [0:01](<http://x/index.html?video=a.webm&t=1>) Start", "",
    "## Mellom lysarkene", "",
    "- [0:05](<http://x/index.html?video=a.webm&t=5>) I pausen", "",
    "## Lysark 2 · \\*Fet\\* \\<b\\>\\[lenke\\]\\(javascript:x\\)", "",
    "- [0:08](<http://x/index.html?video=a.webm&t=8>) Sporet", "  to linjer", ""].join("\n"));
  assert.deepEqual(["forelesning 3.webm", "opptak", ".webm"].map(lectureName), ["forelesning 3", "opptak", "forelesning"]);
  // A note's text is text too: no link, element, reference, address or heading of it; its lines kept.
  const hostile = groupNotes([{ time: 1, made: 1,
    text: "[klikk](javascript:alert(1))\n<script>x</script>\n[ref]: javascript:y\nse https://x.no\n===" }], samples);
  assert.deepEqual(notesMarkdown("f", hostile, () => "Lysark 0", link).split("\n").slice(4, 9), [
    "- [0:01](<http://x/index.html?video=a.webm&t=1>) \\[klikk\\]\\(javascript:alert\\(1\\)\\)",
    "  \\<script\\>x\\</script\\>", "  \\[ref\\]: javascript:y", "  se https\\://x\\.no", "  \\==="]);
});

test("chapters: a cue for each slide shown, until the next one starts, its name as plain text", () => {
  const shown = [{ start: 0, end: 5 }, { start: 0, end: 4 }, { start: 4, end: 30 }, { start: 3725.5, end: 3730 }];
  const names = ["replaced at once", "Lysark 1 · A & B <i>", "Lysark 2", "Lysark 3"];
  assert.equal(chaptersVtt(lectureChapters(shown, (index) => names[index])),
               "WEBVTT\n\n00:00:00.000 --> 00:00:04.000\nLysark 1 · A &amp; B &lt;i&gt;\n\n" +
               "00:00:04.000 --> 01:02:05.500\nLysark 2\n\n01:02:05.500 --> 01:02:10.000\nLysark 3\n");
});

test("the timeline: a segment for each slide shown as long as it shows, a long lecture in stretches; its keys", () => {
  assert.deepEqual(timelineSegments(samples, 40, 600).map(({ sample, from, to }) => [sample, from * 40, to * 40]),
                   [[0, 0, 3], [1, 3, 6], [2, 6, 10], [3, 10, 30]]);
  assert.deepEqual(timelineSegments(samples, NaN, 600), []);
  // 600 short slides, then a long one: each stretch shows the slide at its middle, the long one in one segment.
  const many = [...Array.from({ length: 600 }, (_, i) => ({ start: i / 1000, end: (i + 1) / 1000 })),
                { start: 0.6, end: 100 }];
  assert.deepEqual(timelineSegments(many, 100, 600).map(({ sample, from, to }) => [sample, from, to]),
                   [[83, 0, 1 / 600], [250, 1 / 600, 2 / 600], [416, 2 / 600, 3 / 600], [583, 3 / 600, 4 / 600],
                    [600, 4 / 600, 1]]);
  assert.deepEqual(["ArrowRight", "ArrowUp", "ArrowLeft", "ArrowDown", "Home", "End", "PageDown"]
    .map((key) => timelineKey(key, false, 4)),
                   [{ step: 1 }, { step: 1 }, { step: -1 }, { step: -1 }, { sample: 0 }, { sample: 3 }, null]);
  assert.deepEqual([timelineKey("Home", true, 4), timelineKey("End", false, 0)], [null, null]);
});
