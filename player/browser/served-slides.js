// SPDX-License-Identifier: MIT
// The slides of a lecture served from the player's own origin, each asked
// of its server before the frame first shows it: a page the server does
// not give (404, or another error) shows as the player's own note, never as
// the server's error page.  What the server answered for each page is kept
// while its track plays; reading the slides for their titles tells it of
// them all, so that the frame need not ask again.
"use strict";

/**
 * @typedef {object} ServedSlides
 * @property {(href: string, url: string) => Promise<{ href: string, sandboxed: boolean }> | null} slideAddress
 *   what the frame shows for the slide at `href`, which the track names by `url`, once its server has
 *   answered; null for a slide of another origin, which the page may not ask for
 * @property {(statuses: Map<string, number>) => void} learn  what the server answered, by the track's addresses
 * @property {() => void} release  forgets every answer and lets every note go, for another track
 */

/** @returns {ServedSlides} */
function makeServedSlides() {
  /** @type {Map<string, Promise<number>>} */
  let statuses = new Map();
  // The note made for each slide that is not there, by its address.
  /** @type {Map<string, string>} */
  const notes = new Map();

  /** @param {string} url @param {string} text */
  function note(url, text) {
    let address = notes.get(url);
    if (address === undefined) {
      address = URL.createObjectURL(new Blob([noteHtml(text)], { type: "text/html;charset=utf-8" }));
      notes.set(url, address);
    }
    return address;
  }

  return {
    slideAddress(href, url) {
      if (!sameOrigin(href, location.href)) return null;
      let status = statuses.get(url);
      if (status === undefined) {
        status = fetchSlide(href).then((answer) => {
          // Only whether it is there counts here.
          answer.html?.cancel().catch(() => {});
          return answer.status;
        });
        statuses.set(url, status);
      }
      return status.then((answer) => {
        const problem = slideProblem(url, answer);
        return problem === null ? { href, sandboxed: false } : { href: note(url, problem), sandboxed: true };
      });
    },
    learn(answers) {
      for (const [url, status] of answers) statuses.set(url, Promise.resolve(status));
    },
    release() {
      for (const address of notes.values()) URL.revokeObjectURL(address);
      notes.clear();
      statuses = new Map();
    },
  };
}
