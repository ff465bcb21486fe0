// SPDX-License-Identifier: MIT
// What the player keeps on the student's machine.
import { test } from "node:test";
import assert from "node:assert/strict";
import "./rules.mjs";

const { lectureKey, readLecture, readSettings, momentToKeep, lectureStart, makeMemory } = globalThis;

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
  // At the edges of what the page writes: a note at 0:00, the last moment a track has, the longest note;
  // past them, a text that is no string, or more notes than the page keeps, are not read.
  const edges = { version: 1, moment: 359999.99, notes: [{ time: 0, text: "x".repeat(20000), made: 0 },
                                                         { time: 1, text: ["x"], made: 1 }] };
  assert.deepEqual(readLecture(JSON.stringify(edges)), { moment: 359999.99, notes: [edges.notes[0]] });
  assert.equal(readLecture('{"version":1,"moment":360000}').moment, null);
  const many = Array.from({ length: 5001 }, (_, i) => ({ time: i, text: "", made: i }));
  assert.equal(readLecture(JSON.stringify({ version: 1, notes: many })).notes.length, 5000);
  const listening = { announce: true, describe: false, speak: true, wait: true, slideText: false };
  const plain = { rate: 1, captions: true, panel: "slides", layout: "even", language: "", ...listening };
  // Only a language the page has is read back.
  assert.deepEqual(['{"version":1,"language":"nn"}', '{"version":1,"language":"de"}', '{"version":1,"language":1}']
    .map((text) => readSettings(text).language), ["nn", "", ""]);
  assert.deepEqual(readSettings('{"version":1,"rate":1.5,"captions":false,"panel":"notes","layout":"recording",' +
                                '"announce":false,"describe":true,"speak":false,"wait":false,"slideText":true}'),
                   { rate: 1.5, captions: false, panel: "notes", layout: "recording", language: "",
                     announce: false, describe: true, speak: false, wait: false, slideText: true });
  // How a student listens is read only where it is a yes or a no.
  assert.deepEqual(readSettings('{"version":1,"announce":"nei","describe":1,"speak":null,"wait":[],"slideText":"true"}'),
                   plain);
  assert.equal(readSettings('{"version":1,"rate":100}').rate, 1);
  // The rates every engine plays, their ends too; settings of another version, or not of their type, are not read.
  assert.deepEqual(['{"version":1,"rate":0.25}', '{"version":1,"rate":4}', '{"version":1,"rate":0.1}',
                    '{"version":2,"rate":2}'].map((text) => readSettings(text).rate), [0.25, 4, 1, 1]);
  // A panel or a layout the page does not have, or one named by no string, is not read.
  for (const foreign of ['{"version":1,"captions":"nei","panel":"chat","layout":["slides"]}',
                         '{"version":1,"panel":"","layout":""}', '{"version":1,"panel":["notes"],"layout":"wide"}']) {
    assert.deepEqual(readSettings(foreign), plain, foreign);
  }
  assert.deepEqual(['{"version":1,"panel":"search"}', '{"version":1,"layout":"slides"}']
    .map((text) => readSettings(text)), [{ ...plain, panel: "search" }, { ...plain, layout: "slides" }]);
  // Settings are kept a change at a time, under the key that earlier pages wrote them under.
  memory.keepSettings({ rate: 2 });
  memory.keepSettings({ captions: false });
  assert.deepEqual(memory.settings(), { ...plain, rate: 2, captions: false });
  assert.ok(stored.has("hreftrack.settings.v1"));
  // Storage refused, as in a private window, or full: nothing is kept, nothing throws.
  const refused = makeMemory(() => { throw new Error("SecurityError"); });
  assert.deepEqual([refused.lecture(key), refused.keep(key, { moment: 5 }), refused.settings()],
                   [{ moment: null, notes: [] }, false, plain]);
  const full = makeMemory(() => ({ getItem: () => null, setItem: () => { throw new Error("QuotaExceededError"); } }));
  assert.equal(full.keep(key, { moment: 5 }), false);
  full.keepSettings({ rate: 2 });
});

test("the moment kept: none in the first 5 or the last 10 seconds, none taken while the recording seeks", () => {
  assert.deepEqual([[4.9, 100, false], [5, 100, false], [90, 100, false], [90.1, 100, false], [50, 100, true],
                    [50, NaN, false]].map(([time, duration, seeking]) => momentToKeep(time, duration, seeking)),
                   [null, 5, 90, null, undefined, undefined]);
  // Kept again only 5 seconds on, or where it must be now; a moment forgotten is forgotten at once.
  assert.deepEqual([[24.9, 20, false], [25, 20, false], [15, 20, false], [21, 20, true], [20, 20, true], [95, 20, false]]
    .map(([time, kept, now]) => momentToKeep(time, 100, false, kept, now)), [undefined, 25, 15, 21, undefined, null]);
  assert.equal(momentToKeep(22, 100, false, 20), undefined, "as it plays, unless told it is now");
});

test("where a lecture opens: the link's t=, else where it was left, said; nowhere once the user has moved", () => {
  assert.deepEqual([lectureStart(false, 30, 700), lectureStart(false, null, 700), lectureStart(false, null, null),
                    lectureStart(true, 30, 700)],
                   [{ at: 30, resumes: false }, { at: 700, resumes: true }, { at: null, resumes: false },
                    { at: null, resumes: false }]);
});
