// SPDX-License-Identifier: MIT
// The files the player makes of a lecture: notes and chapters.
import { test } from "node:test";
import assert from "node:assert/strict";
import { samples } from "./rules.mjs";

const { sortNotes, lectureChapters, chaptersVtt, groupNotes, notesMarkdown, momentLink,
        lectureName, lectureTitle } = globalThis;

test("notes in time order, under the slide of their moment, as Markdown that shows a title as text only", () => {
  const notes = sortNotes([{ time: 8.7, text: "Sporet\nto linjer", made: 3 }, { time: 1, text: "Start", made: 2 },
                           { time: 5.5, text: "I pausen", made: 4 }, { time: 1, text: "Først", made: 1 }]);
  assert.deepEqual(notes.map((note) => note.text), ["Først", "Start", "I pausen", "Sporet\nto linjer"]);
  const groups = groupNotes(notes, samples);
  assert.deepEqual(groups.map((group) => [group.sample, group.notes.length]), [[0, 2], [-1, 1], [2, 1]]);
  // A run of blanks, a tab among them, is written as one blank.
  const heading = (sample) => (sample < 0 ? "Mellom lysarkene" : `Lysark ${sample} ·\t *Fet* <b>[lenke](javascript:x)`);
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
  // Only the last extension goes; a character no file name may hold is "_"; blanks at the ends go too.
  assert.deepEqual(["uke 3.del 2.webm", "a:b/c.webm", " opptak .webm", "  .webm"].map(lectureName),
                   ["uke 3.del 2", "a_b_c", "opptak", "forelesning"]);
  // The title the media controls show: the first slide's, else the recording's name.
  const titled = new Map([["foil0.html", "Måling av tid"]]);
  assert.deepEqual([lectureTitle([{ url: "foil0.html" }], titled, "opptak.webm"),
                    lectureTitle([{ url: "foil1.html" }], titled, "opptak.webm"), lectureTitle([], titled, "")],
                   ["Måling av tid", "opptak", "forelesning"]);
  // A note's text is text too: no link, element, reference, address or heading of it; its lines kept.
  const hostile = groupNotes([{ time: 1, made: 1,
    text: "[klikk](javascript:alert(1))\n<script>x</script>\n[ref]: javascript:y\nse https://x.no\n===" }], samples);
  assert.deepEqual(notesMarkdown("f", hostile, () => "Lysark 0", link).split("\n").slice(4, 9), [
    "- [0:01](<http://x/index.html?video=a.webm&t=1>) \\[klikk\\]\\(javascript:alert\\(1\\)\\)",
    "  \\<script\\>x\\</script\\>", "  \\[ref\\]: javascript:y", "  se https\\://x\\.no", "  \\==="]);
});

test("chapters: a cue for each slide shown, until the next one starts, its name as plain text", () => {
  const shown = [{ start: 0, end: 5 }, { start: 0, end: 4 }, { start: 4, end: 30 }, { start: 3725.5, end: 3730 }];
  // A title's line breaks, CR LF too, are one blank: a second line would end the cue's text.
  const names = ["replaced at once", "Lysark 1 · A & B <i>", "Lysark 2", "Lysark 3 ·\r\nMåling"];
  assert.equal(chaptersVtt(lectureChapters(shown, (index) => names[index])),
               "WEBVTT\n\n00:00:00.000 --> 00:00:04.000\nLysark 1 · A &amp; B &lt;i&gt;\n\n" +
               "00:00:04.000 --> 01:02:05.500\nLysark 2\n\n01:02:05.500 --> 01:02:10.000\nLysark 3 · Måling\n");
});
