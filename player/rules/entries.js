// SPDX-License-Identifier: MIT
// The lists of the page: what a slide's entry says, which rows of a long
// list are laid out, and what a key does in a list.
"use strict";

/**
 * The name of a slide in the list: "Lysark N" for a slide foilN.html (its
 * number as the track writes it), else the address itself.
 * @param {string} url
 * @returns {string}
 */
function slideName(url) {
  const foil = /(?:^|\/)foil(\d+)\.html(?:[?#].*)?$/.exec(url);
  return foil ? words.slide(foil[1]) : url;
}

/**
 * What the list's entry for a sample says: the slide's name, with its
 * title where `titles` has one for it ("Lysark 12 · Måling av tid"), and
 * its start.  A lecture shows its slides again and again: `names` keeps
 * each slide's name, found once.
 * @param {{ url: string, start: number }} sample
 * @param {Map<string, string>} [titles]
 * @param {Map<string, string>} [names]
 * @returns {{ name: string, start: string }}
 */
function entryLabel(sample, titles = new Map(), names = new Map()) {
  let name = names.get(sample.url);
  if (name === undefined) {
    const title = titles.get(sample.url);
    name = title === undefined ? slideName(sample.url) : `${slideName(sample.url)} · ${title}`;
    names.set(sample.url, name);
  }
  return { name, start: formatStart(sample.start) };
}

/**
 * The title of each slide that has one worth showing, from what the slides
 * say of themselves (`title` element and first heading, white space
 * collapsed).  A slide's title serves unless it is missing, only repeats
 * the slide's name ("Lysark 12"), or is the same on every slide (an export
 * that titles each slide with the presentation's name); then its first
 * heading serves, on the same terms.
 * @param {Map<string, { title: string, heading: string }>} slides  by address
 * @returns {Map<string, string>}
 */
function slideTitles(slides) {
  const titles = [...slides.values()].map((slide) => slide.title);
  const shared = slides.size > 1 && titles.every((title) => title === titles[0]) ? titles[0] : null;
  /** @type {Map<string, string>} */
  const chosen = new Map();
  for (const [url, slide] of slides) {
    const name = slideName(url).toLowerCase();
    const serves = (/** @type {string} */ text) => text !== "" && text.toLowerCase() !== name;
    if (serves(slide.title) && slide.title !== shared) {
      chosen.set(url, slide.title);
    } else if (serves(slide.heading)) {
      chosen.set(url, slide.heading);
    }
  }
  return chosen;
}

/**
 * The rows a list lays out: those in its view and `around` more on each
 * side, for `count` rows of `rowHeight` pixels scrolled to `scrollTop` in a
 * view `viewHeight` high.  Before the rows' height is known (0), those
 * around the row `centre`.
 * @param {{ count: number, rowHeight: number, scrollTop: number, viewHeight: number,
 *           around: number, centre: number }} list
 * @returns {{ first: number, end: number }}  rows first up to, not with, end
 */
function rowsToLayOut(list) {
  const { count, rowHeight, around } = list;
  const top = rowHeight > 0 ? Math.floor(list.scrollTop / rowHeight) : list.centre;
  const bottom = rowHeight > 0 ? Math.ceil((list.scrollTop + list.viewHeight) / rowHeight) : list.centre + 1;
  return { first: Math.min(Math.max(top - around, 0), count), end: Math.min(Math.max(bottom + around, 0), count) };
}

/**
 * What the key `name` does `where` (a list, or the notes' list) of `count`
 * entries whose active entry (the one the list's focus is on) is `active`:
 * the entry it makes active, and whether it activates that entry too.  Null
 * for a key the list leaves to the page and the browser.
 * @param {KeyPlace} where
 * @param {string} name  as keyName names it
 * @param {number} active
 * @param {number} count
 * @returns {{ active: number, activate: boolean } | null}
 */
function listKey(where, name, active, count) {
  const action = keyAction(where, name);
  if (action === null || count === 0) return null;
  const at = Math.min(Math.max(active, 0), count - 1);
  const moves = /** @type {Record<string, number>} */ ({ next: Math.min(at + 1, count - 1),
    previous: Math.max(at - 1, 0), first: 0, last: count - 1, activate: at });
  if (!(action in moves)) return null;
  return { active: moves[action], activate: action === "activate" };
}

// Under Node, for the tests.
if (typeof module === "object" && module !== null) {
  Object.assign(module.exports, { slideName, entryLabel, slideTitles, rowsToLayOut, listKey });
}
