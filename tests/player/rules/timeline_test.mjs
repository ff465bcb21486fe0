// SPDX-License-Identifier: MIT
// The timeline's segments and keys.
import { test } from "node:test";
import assert from "node:assert/strict";
import { samples } from "./rules.mjs";

const { words, timelineSegments, timelineLength, timelineKey, previewLeft } = globalThis;

test("the timeline: a segment for each slide shown as long as it shows, a long lecture in stretches; its keys", () => {
  assert.deepEqual(timelineSegments(samples, 40, 600).map(({ sample, from, to }) => [sample, from * 40, to * 40]),
                   [[0, 0, 3], [1, 3, 6], [2, 6, 10], [3, 10, 30]]);
  assert.deepEqual(timelineSegments(samples, NaN, 600), []);
  // Until the recording's length is known, the track's: a timeline of no length would draw nothing.
  assert.deepEqual([timelineLength(40, samples), timelineLength(NaN, samples), timelineLength(NaN, [])], [40, 30, 0]);
  // Between slides the timeline says only the moment.
  assert.deepEqual([words.timeline.value("", "0:05", "0:30"), words.timeline.value("Lysark 1", "0:04", "0:30")],
                   ["0:05 av 0:30", "Lysark 1, 0:04 av 0:30"]);
  // 600 short slides, then a long one: each stretch shows the slide at its middle, the long one in one segment.
  const many = [...Array.from({ length: 600 }, (_, i) => ({ start: i / 1000, end: (i + 1) / 1000 })),
                { start: 0.6, end: 100 }];
  assert.deepEqual(timelineSegments(many, 100, 600).map(({ sample, from, to }) => [sample, from, to]),
                   [[83, 0, 1 / 600], [250, 1 / 600, 2 / 600], [416, 2 / 600, 3 / 600], [583, 3 / 600, 4 / 600],
                    [600, 4 / 600, 1]]);
  assert.deepEqual(["ArrowRight", "ArrowUp", "ArrowLeft", "ArrowDown", "Home", "End", "PageDown"]
    .map((key) => timelineKey(key, 4)),
                   [{ step: 1 }, { step: 1 }, { step: -1 }, { step: -1 }, { sample: 0 }, { sample: 3 }, null]);
  assert.deepEqual([timelineKey("Control+Home", 4), timelineKey("End", 0)], [null, null]);
});

test("the timeline draws only what the recording shows: never past its end, nothing in a gap", () => {
  const drawn = (segments) => segments.map(({ sample, from, to }) => [sample, from, to]);
  // A recording that ends before its track: the slide that starts at its end is not drawn at all.
  assert.deepEqual(drawn(timelineSegments(samples, 10, 600)), [[0, 0, 0.3], [1, 0.3, 0.6], [2, 0.6, 1]]);
  // As many slides as segments are drawn each as they show, not in stretches.
  assert.deepEqual(drawn(timelineSegments(samples, 40, 4)), [[0, 0, 3 / 40], [1, 3 / 40, 6 / 40], [2, 6 / 40, 10 / 40],
                                                             [3, 10 / 40, 30 / 40]]);
  // In stretches: slide 0 from the start, no segment where no slide shows, none past the end.
  const stretched = drawn(timelineSegments([{ start: 0, end: 50 },
    ...Array.from({ length: 600 }, (_, i) => ({ start: 60 + i / 1000, end: 60 + (i + 1) / 1000 })),
    { start: 61, end: 200 }], 100, 600));
  assert.deepEqual(stretched[0], [0, 0, 300 / 600]);
  assert.deepEqual([stretched.some(([sample]) => sample < 0), stretched.at(-1)[2]], [false, 1]);
});

test("the preview stands over its slide, and never past either end of the timeline", () => {
  // 256 pixels wide over a timeline of 1000: centred in the middle, held in at both ends.
  assert.deepEqual([0.5, 0, 0.05, 0.98, 1].map((at) => previewLeft(at, 1000, 256)), [372, 0, 0, 744, 744]);
  // A timeline narrower than the preview: its left end.
  assert.equal(previewLeft(0.9, 200, 256), 0);
});
