// SPDX-License-Identifier: MIT
// The frame that shows the slide that plays, named after the track's
// target as the original layout named it.  A document made of a slide
// chosen from disk is shown sandboxed: nothing of it runs, and it cannot
// reach the player.
"use strict";

/**
 * The HTML of the player's own short note that stands in the frame in place
 * of a slide that is not there, in the page's language.  Its style is a
 * data: sheet, as the player's policy, which the note shares, allows.
 * @param {string} text
 * @returns {string}
 */
function noteHtml(text) {
  const page = document.implementation.createHTMLDocument(text);
  page.documentElement.lang = document.documentElement.lang;
  const link = page.createElement("link");
  link.rel = "stylesheet";
  link.href = `data:text/css;charset=utf-8,${encodeURIComponent("body { font: 1.2em system-ui, sans-serif; " +
                                                                 "margin: 2em; color: #202020; }")}`;
  const said = page.createElement("p");
  said.textContent = text;
  page.head.append(link);
  page.body.append(said);
  return `<!doctype html>\n${page.documentElement.outerHTML}`;
}

/**
 * @typedef {object} Frame
 * @property {(target: string) => void} name
 * @property {(title: string) => void} title  what a screen reader calls the frame: the slide it shows
 * @property {(href: string, sandboxed?: boolean) => void} show
 *   shows the slide at `href`, unless it shows already, sandboxed or not
 * @property {(href: string, made: Promise<{ href: string, sandboxed: boolean }> | null) => void} showMade
 *   shows the slide at `href` as `made` gives it once it is made (a chosen slide's document, or a served
 *   one once its server has answered, or a note where it is not there), at once where there is nothing
 *   to make; unless another slide was asked for meanwhile
 */

/**
 * @param {HTMLIFrameElement} frame
 * @returns {Frame}
 */
function makeFrame(frame) {
  // The slide asked for last, and the one asked for before it.
  let shown = "";
  let before = "";
  let sandboxed = false;

  // Whether a navigation is under way, and whether another was asked for
  // before it arrived.
  let loading = false;
  let overlapped = false;

  /** @param {string} href */
  function navigate(href) {
    if (loading) overlapped = true;
    loading = true;
    // Replacing the frame's address keeps the slides out of the history:
    // Back leaves the player, as a user expects.
    try {
      /** @type {Window} */ (frame.contentWindow).location.replace(href);
    } catch {
      frame.src = href;
    }
  }

  // An engine may drop a navigation asked for while the one before it is
  // still loading, and then shows the slide before (WebKit does so with
  // served slides, Chromium with sandboxed ones): it is asked for again.
  // A slide whose address can be read is asked for again only if the one
  // before arrived; one that cannot (another origin, or sandboxed) is asked
  // for again whenever navigations overlapped, which reloads it at worst.
  frame.addEventListener("load", () => {
    loading = false;
    let again;
    try {
      const arrived = /** @type {Window} */ (frame.contentWindow).location.href;
      again = arrived === before && arrived !== shown;
    } catch {
      again = overlapped;
    }
    overlapped = false;
    if (again) navigate(shown);
  });

  // Which slide was asked for last, so that one made late does not replace it.
  let asked = 0;

  return {
    name(target) { frame.name = target; },
    title(title) { frame.title = title; },
    show(href, sandboxing = false) {
      if (href === shown) return;
      before = shown;
      shown = href;
      // The frame's sandbox holds from the next page it shows on.
      if (sandboxing && !sandboxed) frame.setAttribute("sandbox", "");
      if (!sandboxing && sandboxed) frame.removeAttribute("sandbox");
      sandboxed = sandboxing;
      navigate(href);
    },
    async showMade(href, made) {
      const own = ++asked;
      const shown = made === null ? { href, sandboxed: false } : await made;
      if (own === asked) this.show(shown.href, shown.sandboxed);
    },
  };
}
