// SPDX-License-Identifier: MIT
// What the player says of a recording, a track and slides that go wrong.
import { test } from "node:test";
import assert from "node:assert/strict";
import { command, toolTrack } from "./rules.mjs";

const { words, parseTrack, recordingProblem, seeksTo, seeksNowhere, seekProblem, formatLength,
        playLengthAnswer, lengthProblem, slideProblem, unchosenSlideMessages, slideMessages } = globalThis;

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
  // 400 is the server's refusal, 410 a recording gone; where the server said nothing, no cause is named.
  assert.deepEqual([said(4, 400), said(4, 400, false, false), said(4, 410), said(4, null, false, false)],
                   [refused("a.webm", 400), refused("a.webm", 400), missing("a.webm"), missingOrUnplayable("a.webm")]);
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
                 ["a stream", [], Infinity, [false, false, false]],
                 ["ranges before the moment and past it", [[1, 2], [15, 20]], 20, [false, false, false]],
                 ["a range that ends at its start, and one that does not", [[0, 0], [0, 20]], 20, [false, true, true]],
                 ["a recording of no length", [], 0, [false, false, false]]];
  for (const [what, seekable, duration, expected] of cases) {
    assert.deepEqual([seeksNowhere(seekable, duration), seeksTo(seekable, duration, 12), seeksTo(seekable, duration, 0)],
                     expected, what);
  }
  // A moment within the slack of a range's ends is in it.
  assert.deepEqual([seeksTo([[1, 2]], 20, 0.95), seeksTo([[1, 2]], 20, 2.05)], [true, true]);
  const { unseekable, unseekableFile, unseekableMaybe } = words.recording;
  assert.deepEqual([false, true, null].map((ranges) => seekProblem("a.webm", ranges)),
                   [unseekable("a.webm"), unseekableFile("a.webm"), unseekableMaybe("a.webm")]);
  assert.match(unseekable("a.webm"), /byteområder.*npx http-server \(python3 -m http.server gjør det ikke\)/);
  // What the lecturer is told to do, whole: without it the message names a fault and no way out.
  assert.match(unseekableFile("a.webm"), /tidspunktene ligger, som et opptak lagret rett fra nettleseren kan gjøre\. Lagre det/);
  assert.match(words.slides.missingOpening("foil0.html"), /i loggen: legg en slik side i mappen med forelesningen\.$/);
  assert.match(words.chooser.noSlides, /^Ingen av lysarkene i sporet er valgt\. Velg hele mappen/);
  assert.match(words.chooser.tooLarge("a"), /et valgt lysark\. Gjør bildene mindre, eller legg forelesningen på en server\.$/);
});

test("a track made for another play length: both lengths said, and the answer the tool takes for the recording",
     { skip: command.length === 0 && "HREFTRACK_COMMAND is not set" }, () => {
  assert.equal(lengthProblem(30, 20), words.recording.length("0:30.00", "0:20.00", "0 0 20 0"));
  // Within a tenth of a second, or with a length not known, nothing is said.
  assert.deepEqual([lengthProblem(20, 20.04), lengthProblem(20, 20.1), lengthProblem(null, 20), lengthProblem(20, NaN),
                    lengthProblem(20, Infinity), lengthProblem(20, 0)], [null, null, null, null, null, null]);
  assert.notEqual(lengthProblem(20, 20.11), null);
  // Rounded to the hundredth, carried into the minute, and refused past what the dialogue takes.
  assert.deepEqual([330, 3723.04, 59.996, 20.004, 359999.99, 360000].map(playLengthAnswer),
                   ["0 5 30 0", "1 2 3 4", "0 1 0 0", "0 0 20 0", "99 59 59 99", null]);
  assert.deepEqual([0, -1, NaN].map(playLengthAnswer), ["0 0 0 0", null, null]);
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
                    [403, "foil3.html"], [400, "foil3.html"]].map(([status, url]) => slideProblem(url, status)),
                   [words.slides.missing("foil3.html"), words.slides.missing("foil3.html"),
                    words.slides.missingOpening("foil0.html"), words.slides.refused("foil3.html", 500),
                    words.slides.refused("foil3.html", 403), words.slides.refused("foil3.html", 400)]);
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
