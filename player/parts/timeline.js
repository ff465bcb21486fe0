// SPDX-License-Identifier: MIT
// The lecture's map: a timeline under the recording with a segment for
// each slide shown, as long as it shows, the hits of the search above
// them, and the moment that plays.  One Tab stop, a slider: Left and Right
// go to the start of the slide before and the next one, Home and End to the
// first and the last; a click or a tap on a segment goes to its slide's
// start, on a hit to the hit.  A pointer that rests on a segment, or a key
// that moves to one, previews its slide (parts/timeline-preview.js).
"use strict";

/**
 * @typedef {object} Timeline
 * @property {(samples: Sample[], duration: number) => void} show  `duration` NaN while the recording's is unknown
 * @property {(index: number) => void} mark  marks the segment of the current sample
 * @property {(time: number) => void} at  moves the mark of the moment that plays
 * @property {(hits: { sample: number, start: number }[]) => void} hits
 * @property {() => void} relabel  the slides' names changed
 */

/**
 * @param {{ choose: (sample: number) => void, go: (time: number) => void, step: (direction: 1 | -1) => void,
 *           hit: (hit: { sample: number, start: number }) => void, name: (sample: number) => string,
 *           point: (sample: number, at: number, now: boolean) => void }} wiring
 *   `point` is told of the sample pointed at or moved to by key, and where (a part of the length); -1 for none
 * @returns {Timeline}
 */
function makeTimeline(wiring) {
  const bar = byId("timeline", HTMLElement);
  const slides = byId("timeline-slides", HTMLElement);
  const hits = byId("timeline-hits", HTMLElement);
  const now = byId("timeline-now", HTMLElement);
  // More segments than this are more than a timeline's pixels.
  const most = 600;
  /** @type {Sample[]} */
  let samples = [];
  let duration = 0;
  /** @type {{ sample: number, from: number, to: number }[]} */
  let segments = [];
  /** @type {HTMLElement[]} */
  let drawn = [];
  let current = -1;
  let marked = -1;
  // The moment that plays, and the whole second the slider last said.
  let time = 0;
  let second = -1;
  /** @type {Map<Element, { sample: number, start: number }>} */
  let hitOf = new Map();
  // Whether the last move on the timeline was by key: the slide it marks is previewed.
  let keyed = false;

  // The segment in which sample `index` starts.
  /** @param {number} index */
  function segmentOf(index) {
    if (index < 0 || index >= samples.length || duration <= 0) return -1;
    const at = samples[index].start / duration;
    return segments.findIndex((segment) => segment.from <= at && at < segment.to);
  }

  /** @param {number} moment */
  function at(moment) {
    time = moment;
    now.style.transform = `translateX(${duration > 0 ? Math.min(time / duration, 1) * 100 : 0}%)`;
    const whole = Math.floor(time);
    if (whole === second) return;
    second = whole;
    bar.setAttribute("aria-valuenow", String(Math.min(whole, Math.floor(duration))));
    bar.setAttribute("aria-valuetext", words.timeline.value(current >= 0 ? wiring.name(current) : "",
                                                            formatStart(time), formatStart(duration)));
  }

  function relabel() {
    second = -1;
    at(time);
  }

  /** @param {number} index */
  function mark(index) {
    current = index;
    drawn[marked]?.classList.remove("current");
    marked = segmentOf(index);
    drawn[marked]?.classList.add("current");
    second = -1;
    at(time);
    if (keyed && index >= 0 && duration > 0) wiring.point(index, Math.min(samples[index].start / duration, 1), true);
  }

  // The part of the timeline's length under the pointer.
  /** @param {MouseEvent} event */
  const pointedAt = (event) => {
    const box = bar.getBoundingClientRect();
    return Math.min(Math.max((event.clientX - box.left) / box.width, 0), 1);
  };

  bar.addEventListener("click", (event) => {
    const hit = event.target instanceof Element ? hitOf.get(event.target) : undefined;
    if (hit !== undefined) {
      wiring.hit(hit);
      return;
    }
    const moment = pointedAt(event) * duration;
    const sample = sampleAt(samples, moment);
    if (sample >= 0) wiring.choose(sample); else if (duration > 0) wiring.go(moment);
  });
  bar.addEventListener("keydown", (event) => {
    const move = timelineKey(keyName(event), samples.length);
    if (move === null) return;
    event.preventDefault();
    keyed = true;
    if ("step" in move) wiring.step(move.step); else wiring.choose(move.sample);
  });
  bar.addEventListener("pointermove", (event) => {
    keyed = false;
    const part = pointedAt(event);
    wiring.point(duration > 0 ? sampleAt(samples, part * duration) : -1, part, false);
  });
  bar.addEventListener("pointerleave", () => wiring.point(-1, 0, false));
  bar.addEventListener("blur", () => {
    keyed = false;
    wiring.point(-1, 0, false);
  });

  return {
    show(shown, recordingLength) {
      samples = shown;
      duration = timelineLength(recordingLength, samples);
      segments = timelineSegments(samples, duration, most);
      drawn = segments.map((segment) => {
        const element = document.createElement("div");
        element.className = "timeline-slide";
        element.style.left = `${segment.from * 100}%`;
        element.style.width = `${(segment.to - segment.from) * 100}%`;
        return element;
      });
      slides.replaceChildren(...drawn);
      bar.setAttribute("aria-valuemax", String(Math.floor(duration)));
      relabel();
      mark(current);
    },
    mark,
    at,
    hits(found) {
      hitOf = new Map();
      hits.replaceChildren(...found.filter((hit) => duration > 0 && hit.start <= duration).map((hit) => {
        const element = document.createElement("div");
        element.className = "timeline-hit";
        element.style.left = `${(hit.start / duration) * 100}%`;
        hitOf.set(element, hit);
        return element;
      }));
    },
    relabel,
  };
}
