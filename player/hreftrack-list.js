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
 * What the list's entry for a sample says.  A lecture shows its pages again
 * and again: `names` keeps each page's name, found once.
 * @param {{ url: string, start: number }} sample
 * @param {Map<string, string>} [names]
 * @returns {{ name: string, start: string }}
 */
function entryLabel(sample, names = new Map()) {
  let name = names.get(sample.url);
  if (name === undefined) {
    name = slideName(sample.url);
    names.set(sample.url, name);
  }
  return { name, start: formatStart(sample.start) };
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
  Object.assign(module.exports, { slideName, formatStart, entryLabel, rowsToLayOut });
}
