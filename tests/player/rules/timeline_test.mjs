// SPDX-License-Identifier: MIT
// The timeline's segments and keys.
import { test } from "node:test";
import assert from "node:assert/strict";
import { samples } from "./rules.mjs";

const { timelineSegments, timelineLength, timelineKey } = globalThis;

test("the timeline: a segment for each slide shown as long as it shows, a long lecture in stretches; its keys", () => {
  assert.deepEqual(timelineSegments(samples, 40, 600).map(({ sample, from, to }) => [sample, from * 40, to * 40]),
                   [[0, 0, 3], [1, 3, 6], [2, 6, 10], [3, 10, 30]]);
  assert.deepEqual(timelineSegments(samples, NaN, 600), []);
  // Until the recording's length is known, the track's: a timeline of no length would draw nothing.
  assert.deepEqual([timelineLength(40, samples), timelineLength(NaN, samples), timelineLength(NaN, [])], [40, 30, 0]);
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
