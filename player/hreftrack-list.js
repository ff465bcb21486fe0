// SPDX-License-Identifier: MIT
// The slide list: what each entry says, and which of its rows the page lays
// out.  A classic script like hreftrack-track.js.
"use strict";

/**
 * The name of a slide in the list: "Lysark N" for a page foilN.html (its
 * number as the track writes it), else the address itself.
 * @param {string} url
 * @returns {string}
 */
function slideName(url) {
  const foil = /(?:^|\/)foil(\d+)\.html(?:[?#].*)?$/.exec(url);
  return foil ? `Lysark ${foil[1]}` : url;
}

/**
 * A time in whole seconds as m:ss, or h:mm:ss from one hour on.
 * @param {number} seconds
 * @returns {string}
 */
function formatStart(seconds) {
  const whole = Math.floor(seconds);
  const hours = Math.floor(whole / 3600);
  const minutes = Math.floor(whole / 60) % 60;
  const rest = String(whole % 60).padStart(2, "0");
  return hours > 0 ? `${hours}:${String(minutes).padStart(2, "0")}:${rest}` : `${minutes}:${rest}`;
}

/**
 * What the list's entry for a sample says: the slide's name, with its
 * title where `titles` has one for its page ("Lysark 12 · Måling av tid"),
 * and its start.  A lecture shows its pages again and again: `names` keeps
 * each page's name, found once.
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
 * The title of each page that has one worth showing, from what the pages
 * say of themselves (`title` element and first heading, white space
 * collapsed).  A page's title serves unless it is missing, only repeats
 * the slide's name ("Lysark 12"), or is the same on every page (an export
 * that titles each page with the presentation's name); then its first
 * heading serves, on the same terms.
 * @param {Map<string, { title: string, heading: string }>} pages  by address
 * @returns {Map<string, string>}
 */
function slideTitles(pages) {
  const titles = [...pages.values()].map((page) => page.title);
  const shared = pages.size > 1 && titles.every((title) => title === titles[0]) ? titles[0] : null;
  /** @type {Map<string, string>} */
  const chosen = new Map();
  for (const [url, page] of pages) {
    const name = slideName(url).toLowerCase();
    const serves = (/** @type {string} */ text) => text !== "" && text.toLowerCase() !== name;
    if (serves(page.title) && page.title !== shared) {
      chosen.set(url, page.title);
    } else if (serves(page.heading)) {
      chosen.set(url, page.heading);
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

// Under Node, for the tests.
if (typeof module === "object" && module !== null) {
  Object.assign(module.exports, { slideName, formatStart, entryLabel, slideTitles, rowsToLayOut });
}
