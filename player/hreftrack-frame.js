// SPDX-License-Identifier: MIT
// The frame that shows the slide that plays, named after the track's
// target as the original layout named it.
"use strict";

/**
 * @typedef {object} Frame
 * @property {(target: string) => void} name
 * @property {(href: string) => void} show  shows the slide at `href`, unless it shows already
 */

/**
 * @param {HTMLIFrameElement} frame
 * @returns {Frame}
 */
function makeFrame(frame) {
  let shown = "";
  return {
    name(target) { frame.name = target; },
    show(href) {
      if (href === shown) return;
      shown = href;
      // Replacing the frame's address keeps the slides out of the history:
      // Back leaves the player, as a user expects.
      try {
        /** @type {Window} */ (frame.contentWindow).location.replace(href);
      } catch {
        frame.src = href;
      }
    },
  };
}
