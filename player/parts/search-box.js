// SPDX-License-Identifier: MIT
// The search: its field, what it says of the hits, and the list of hits, in
// time order, the words found marked.  Activating a hit goes to its slide
// or its moment.  Down in the field goes to the hits, Escape empties it.
"use strict";

/**
 * What the search looks through: the samples, their slides' texts by address, and the captions.
 * @typedef {{ samples: Sample[], texts: Map<string, string>,
 *             captions: { start: number, text: string, described?: boolean }[] }} Searched
 */
/**
 * @typedef {object} SearchBox
 * @property {(change: Partial<Searched>) => void} index
 *   makes the lecture ready for searching anew with what has changed of it, and searches again
 */

/**
 * @param {{ name: (sample: number) => string, hit: (hit: Hit) => void,
 *           searched: (words: string[], hits: Hit[]) => void }} wiring
 *   `hit` goes to a hit; `searched` hears the words of every new search, folded, and the hits listed
 * @returns {SearchBox}
 */
function makeSearchBox(wiring) {
  const field = byId("search", HTMLInputElement);
  const status = byId("search-status", HTMLElement);
  const list = byId("search-results", HTMLOListElement);
  // The most hits the list holds; the search counts them all.
  const listed = 200;
  let lecture = indexLecture([], new Map(), []);
  /** @type {Hit[]} */
  let hits = [];
  /** @type {string[]} */
  let found = [];
  let statusTimer = 0;

  const entries = makeEntryList(list, {
    classes: ["hit-name", "hit-start", "hit-excerpt"], oneLine: false,
    fields: (index) => {
      const hit = hits[index];
      const name = hit.sample >= 0 ? wiring.name(hit.sample)
        : hit.described ? words.listening.descriptions : words.captionHit;
      return [name, formatStart(hit.start), markWords(foldText(hit.sample >= 0 ? excerptBeside(name, hit.excerpt)
                                                                               : hit.excerpt), found)];
    },
    activate: (index) => wiring.hit(hits[index]),
  });

  function find() {
    const query = field.value.trim();
    found = queryWords(query);
    const all = query === "" ? [] : searchLecture(lecture, query);
    hits = all.slice(0, listed);
    entries.rebuild(hits.length);
    wiring.searched(found, hits);
    // Said once the typing pauses, so that a screen reader is not flooded.
    clearTimeout(statusTimer);
    status.textContent = "";
    statusTimer = setTimeout(() => {
      status.textContent = query === "" ? "" : all.length === 0 ? words.hits.none(query)
        : all.length > listed ? words.hits.first(all.length, listed) : words.hits.all(all.length);
    }, query === "" ? 0 : 400);
  }

  field.addEventListener("input", find);
  field.addEventListener("keydown", (event) => {
    const action = keyAction("search", keyName(event));
    if (action === "clear") {
      event.preventDefault();
      field.value = "";
      find();
    } else if (action === "hits" && hits.length > 0) {
      event.preventDefault();
      list.focus();
    }
  });
  /** @type {Searched} */
  const searched = { samples: [], texts: new Map(), captions: [] };
  return {
    index(change) {
      Object.assign(searched, change);
      lecture = indexLecture(searched.samples, searched.texts, searched.captions);
      if (field.value !== "") find();
    },
  };
}
