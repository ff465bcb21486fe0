// SPDX-License-Identifier: MIT
// What the lecture's map shows: a segment for each slide shown, as long as
// it shows, and what a key does on it.
"use strict";

/**
 * The segments of the timeline of `samples` over `duration` seconds, from
 * and to as parts of the whole: one for each slide shown, or, where there
 * are more than `most`, one for each stretch of `duration / most` seconds
 * in which the same sample plays at its middle.
 * @param {{ start: number, end: number }[]} samples  in the order of their start
 * @param {number} duration
 * @param {number} most
 * @returns {{ sample: number, from: number, to: number }[]}
 */
function timelineSegments(samples, duration, most) {
  if (!(duration > 0)) return [];
  const spans = shownSpans(samples);
  if (spans.length <= most) {
    return spans.filter((span) => span.start < duration)
      .map((span) => ({ sample: span.sample, from: span.start / duration, to: Math.min(span.end / duration, 1) }));
  }
  /** @type {{ sample: number, from: number, to: number }[]} */
  const segments = [];
  for (let part = 0; part < most; part += 1) {
    const sample = sampleAt(samples, ((part + 0.5) * duration) / most);
    const last = segments[segments.length - 1];
    if (last !== undefined && last.sample === sample) last.to = (part + 1) / most;
    else if (sample >= 0) segments.push({ sample, from: part / most, to: (part + 1) / most });
  }
  return segments;
}

/**
 * The length the timeline of `samples` spans: the recording's `duration`,
 * or, while that is unknown (NaN) or nothing, where the last sample ends.
 * @param {number} duration
 * @param {{ end: number }[]} samples
 * @returns {number}
 */
function timelineLength(duration, samples) {
  return duration || (samples[samples.length - 1]?.end ?? 0);
}

/**
 * What the key `name` does on the timeline of `count` samples: a step to
 * the next slide (1) or the one before (-1), or the sample to go to; null
 * for a key it leaves to the page and the browser.
 * @param {string} name  as keyName names it
 * @param {number} count
 * @returns {{ step: 1 | -1 } | { sample: number } | null}
 */
function timelineKey(name, count) {
  const action = count === 0 ? null : keyAction("timeline", name);
  if (action === "next" || action === "previous") return { step: action === "next" ? 1 : -1 };
  if (action === "first" || action === "last") return { sample: action === "first" ? 0 : count - 1 };
  return null;
}

/**
 * Where the preview of the slide at `at` (a part of the timeline's length)
 * stands, in pixels from the timeline's left: centred over that point, and
 * wholly over a timeline `width` pixels wide where the preview, `wide`
 * pixels, fits there; at its left end where it does not.
 * @param {number} at
 * @param {number} width
 * @param {number} wide
 * @returns {number}
 */
function previewLeft(at, width, wide) {
  return Math.max(0, Math.min(at * width - wide / 2, width - wide));
}

// Under Node, for the tests.
if (typeof module === "object" && module !== null) {
  Object.assign(module.exports, { timelineSegments, timelineLength, timelineKey, previewLeft });
}
