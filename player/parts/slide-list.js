// SPDX-License-Identifier: MIT
// The slide list: an entry for every sample of the track, in the order of
// their start, each naming its slide (with the slide's title once the
// slides are read) and giving its start.  Activating an entry chooses that
// sample.
"use strict";

/**
 * @typedef {object} SlideList
 * @property {(samples: Sample[], built: () => void) => void} show
 *   lists `samples`; calls `built` once every entry stands
 * @property {(titles: Map<string, string>) => void} title  names the slides by their titles, by address
 * @property {(index: number) => string} name  what the list calls sample `index`
 * @property {(index: number) => void} mark  marks the entry of the current sample
 * @property {() => void} relabel  names every slide anew, in the page's language
 */

/**
 * @param {HTMLOListElement} list
 * @param {(index: number) => void} choose
 * @returns {SlideList}
 */
function makeSlideList(list, choose) {
  // The page's own keys go to the slide they name wherever the focus is; the list tells them.
  list.setAttribute("aria-keyshortcuts", keyShortcuts("page"));
  /** @type {Sample[]} */
  let samples = [];
  /** @type {Map<string, string>} */
  let titles = new Map();
  // Each slide's name, found once: a lecture shows its slides again and again.
  /** @type {Map<string, string>} */
  let names = new Map();
  const label = (/** @type {number} */ index) => entryLabel(samples[index], titles, names);
  const entries = makeEntryList(list, {
    classes: ["slide-name", "slide-start"], oneLine: true, activate: choose,
    fields: (index) => {
      const { name, start } = label(index);
      return [name, start];
    },
  });
  return {
    show(shown, built) {
      samples = shown;
      titles = new Map();
      names = new Map();
      entries.rebuild(samples.length, built);
    },
    title(found) {
      titles = found;
      names = new Map();
      entries.relabel();
    },
    name: (index) => label(index).name,
    mark: entries.mark,
    relabel() {
      names = new Map();
      entries.relabel();
    },
  };
}
