// SPDX-License-Identifier: MIT
// The transcript: the captions as a list in a panel of the side, with the
// descriptions among them as lines of their own kind, each with its start,
// the words of a search marked.  Activating one goes to its moment.  Its tab
// is there only while the recording has captions or descriptions.
"use strict";

/**
 * @typedef {object} Transcript
 * @property {() => void} expect  holds the transcript's place: captions are coming
 * @property {(captions: { start: number, text: string, described?: boolean }[]) => void} show
 * @property {() => void} drop  takes it away: there are no captions
 * @property {(words: string[]) => void} search  marks `words` (folded) where they stand
 * @property {(index: number) => void} mark  marks the caption that plays
 * @property {() => void} relabel  writes every line anew, in the page's language
 */

/**
 * @param {{ go: (time: number) => void, offered: (applies: boolean) => void }} wiring
 * @returns {Transcript}
 */
function makeTranscript(wiring) {
  const list = byId("transcript", HTMLOListElement);
  /** @type {{ start: number, text: string, described?: boolean }[]} */
  let captions = [];
  /** @type {Folded[]} */
  let folded = [];
  /** @type {string[]} */
  let searched = [];
  // The captions whose words are marked now.
  /** @type {Set<number>} */
  let marked = new Set();

  const entries = makeEntryList(list, {
    classes: ["cue-start", "cue-text"], oneLine: false,
    fields: (index) => {
      const { start, text, described } = captions[index];
      const kind = described ? `${words.listening.descriptions}: ` : "";
      return [formatStart(start),
              marked.has(index) ? [{ text: kind, marked: false }, ...markWords(folded[index], searched)] : kind + text];
    },
    activate: (index) => wiring.go(captions[index].start),
  });

  /** @param {string[]} wanted */
  function search(wanted) {
    searched = wanted;
    const before = marked;
    marked = new Set();
    if (searched.length > 0) {
      folded.forEach((text, index) => {
        if (searched.some((word) => text.folded.includes(word))) marked.add(index);
      });
    }
    for (const index of new Set([...before, ...marked])) entries.relabel(index);
  }

  return {
    expect() { wiring.offered(true); },
    drop() { wiring.offered(false); },
    show(shown) {
      captions = shown;
      folded = captions.map((caption) => foldText(caption.text));
      marked = new Set();
      entries.rebuild(captions.length, () => search(searched));
    },
    search,
    mark: entries.mark,
    relabel: () => entries.relabel(),
  };
}
