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
  // The slide asked for last, and the one asked for before it.
  let shown = "";
  let before = "";

  /** @param {string} href */
  function navigate(href) {
    // Replacing the frame's address keeps the slides out of the history:
    // Back leaves the player, as a user expects.
    try {
      /** @type {Window} */ (frame.contentWindow).location.replace(href);
    } catch {
      frame.src = href;
    }
  }

  // WebKit may drop a navigation asked for while the one before it is
  // still loading, and then shows the slide before: it is asked for again.
  // A slide of another origin cannot be read, and is left as it is.
  frame.addEventListener("load", () => {
    let arrived;
    try {
      arrived = /** @type {Window} */ (frame.contentWindow).location.href;
    } catch {
      return;
    }
    if (arrived === before && arrived !== shown) navigate(shown);
  });

  return {
    name(target) { frame.name = target; },
    show(href) {
      if (href === shown) return;
      before = shown;
      shown = href;
      navigate(href);
    },
  };
}
