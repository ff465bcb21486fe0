// SPDX-License-Identifier: MIT
// The preview over the timeline: the name of the slide at a point of it and
// the slide's page itself, small, shown once the pointer has rested there a
// moment, or at once where the keys moved to it.  One frame serves every
// slide, so that 300 slides cost no more than three; it shows a slide as
// the slide frame does, sandboxed where that one is, and is made when the
// first preview opens: a frame takes about a third of the time the page's
// mark-up is parsed in, and many never point at the timeline.  Laid over
// the page, it moves nothing, and it takes no focus and is not read: the
// slider says the slide itself.
"use strict";

/**
 * @typedef {object} TimelinePreview
 * @property {(sample: number, at: number, now: boolean) => void} point
 *   previews sample `index`, at `at` (a part of the timeline's length), `now` or after a rest; -1 for none
 */

/**
 * @param {{ name: (sample: number) => string, show: (frame: Frame, sample: number) => void }} wiring
 * @returns {TimelinePreview}
 */
function makeTimelinePreview(wiring) {
  const box = byId("timeline-preview", HTMLElement);
  const name = byId("timeline-preview-name", HTMLElement);
  const bar = byId("timeline", HTMLElement);
  /** @type {Frame | null} */
  let frame = null;
  // How long the pointer rests before the preview shows.
  const rest = 300;
  let timer = 0;
  let pointed = -1;

  /** @param {number} at */
  const place = (at) => { box.style.left = `${previewLeft(at, bar.clientWidth, box.offsetWidth)}px`; };

  /** @param {number} sample @param {number} at */
  function open(sample, at) {
    if (frame === null) {
      const made = document.createElement("iframe");
      made.id = "timeline-preview-frame";
      made.tabIndex = -1;
      made.title = words.timeline.preview;
      byId("timeline-preview-page", HTMLElement).append(made);
      frame = makeFrame(made);
    }
    name.textContent = wiring.name(sample);
    wiring.show(frame, sample);
    box.hidden = false;
    place(at);
  }

  return {
    point(sample, at, now) {
      clearTimeout(timer);
      if (sample < 0) {
        pointed = -1;
        box.hidden = true;
        return;
      }
      if (sample === pointed && !box.hidden) {
        place(at);
        return;
      }
      pointed = sample;
      // Once open, it follows the pointer from slide to slide at once.
      if (now || !box.hidden) open(sample, at);
      else timer = setTimeout(() => open(sample, at), rest);
    },
  };
}
