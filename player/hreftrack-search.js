// SPDX-License-Identifier: MIT
// Finds words in a lecture: in the text of its slides and in its captions.
// Matching ignores case and accents ("cafe" finds "café"), while æ, ø and å
// stay letters of their own.  A classic script like hreftrack-track.js.
"use strict";

/**
 * A text made ready for matching: `folded`, and for each of its characters
 * the place in the original text it comes from.
 * @typedef {{ text: string, folded: string, from: number[] }} Folded
 */
/**
 * What the search looks through: the text of each page, by its address, and
 * the samples and captions, each with its start.
 * @typedef {object} LectureIndex
 * @property {{ url: string, start: number }[]} samples  in the order of their start
 * @property {Map<string, Folded>} pages
 * @property {{ start: number, text: Folded }[]} cues
 */
/**
 * One hit: a sample of a slide (`sample` its index) or a caption
 * (`sample` -1), its start, and the text around the hit.
 * @typedef {{ sample: number, start: number, excerpt: string }} Hit
 */

/**
 * Folds `text` for matching: lower case, without accents, but with æ, ø and
 * å as they are; runs of white space become one blank.
 * @param {string} text
 * @returns {Folded}
 */
function foldText(text) {
  const parts = [];
  /** @type {number[]} */
  const from = [];
  let blank = true;
  for (let at = 0; at < text.length; at += 1) {
    const code = text.charCodeAt(at);
    const character = text[at];
    if (code <= 32 || (code >= 128 && /\s/.test(character))) {
      if (!blank) {
        parts.push(" ");
        from.push(at);
      }
      blank = true;
      continue;
    }
    blank = false;
    if (code < 128) {
      // ASCII, most of what a lecture says, needs no more than this.
      parts.push(code >= 65 && code <= 90 ? String.fromCharCode(code + 32) : character);
      from.push(at);
      continue;
    }
    const lower = character.toLowerCase();
    // å would lose its ring: it is a letter of its own, as æ and ø are.
    const plain = lower === "å" ? lower : lower.normalize("NFD").replace(/[\u0300-\u036f]/g, "");
    for (const part of plain) {
      parts.push(part);
      from.push(at);
    }
  }
  if (blank && parts.length > 0) {
    parts.pop();
    from.pop();
  }
  return { text, folded: parts.join(""), from };
}

/**
 * The words of a query, folded as the texts are.
 * @param {string} query
 * @returns {string[]}
 */
function queryWords(query) {
  const { folded } = foldText(query);
  return folded === "" ? [] : folded.split(" ");
}

/**
 * Where in `text` every word stands, the first word's place, or -1 where a
 * word is missing.
 * @param {Folded} text
 * @param {string[]} words
 * @returns {number}
 */
function findWords(text, words) {
  let first = -1;
  for (const word of words) {
    const at = text.folded.indexOf(word);
    if (at < 0) return -1;
    if (first < 0) first = at;
  }
  return first;
}

/**
 * A short excerpt of the original text around what was found at the folded
 * text's place `at`, cut at blanks, with "…" where it is cut.
 * @param {Folded} text
 * @param {number} at
 * @param {number} length  of what was found, in the folded text
 * @returns {string}
 */
function excerpt(text, at, length) {
  const whole = text.text;
  const start = text.from[at];
  const end = text.from[at + length - 1] + 1;
  let from = Math.max(0, start - 40);
  let to = Math.min(whole.length, end + 60);
  if (from > 0) {
    const blank = whole.slice(from, start).search(/\s/);
    if (blank >= 0) from += blank + 1;
  }
  if (to < whole.length) {
    const blank = whole.slice(end, to).search(/\s\S*$/);
    if (blank >= 0) to = end + blank;
  }
  const cut = whole.slice(from, to).replace(/\s+/g, " ").trim();
  return `${from > 0 ? "… " : ""}${cut}${to < whole.length ? " …" : ""}`;
}

/**
 * The lecture made ready for searching.
 * @param {{ url: string, start: number }[]} samples  in the order of their start
 * @param {Map<string, string>} pages  the text of each page that could be read, by its address
 * @param {{ start: number, text: string }[]} cues
 * @returns {LectureIndex}
 */
function indexLecture(samples, pages, cues) {
  /** @type {Map<string, Folded>} */
  const folded = new Map();
  for (const [url, text] of pages) folded.set(url, foldText(text));
  return { samples, pages: folded, cues: cues.map((cue) => ({ start: cue.start, text: foldText(cue.text) })) };
}

/**
 * Every hit of `query` in the lecture, in the order of their start (a
 * slide before a caption that starts with it): each showing of a slide whose
 * page holds every word, and each caption that does.
 * @param {LectureIndex} index
 * @param {string} query
 * @returns {Hit[]}
 */
function searchLecture(index, query) {
  const words = queryWords(query);
  if (words.length === 0) return [];
  /** @type {Map<string, string | null>} */
  const pageHits = new Map();
  for (const [url, text] of index.pages) {
    const at = findWords(text, words);
    pageHits.set(url, at < 0 ? null : excerpt(text, at, words[0].length));
  }
  /** @type {Hit[]} */
  const hits = [];
  index.samples.forEach((sample, number) => {
    const found = pageHits.get(sample.url);
    if (found) hits.push({ sample: number, start: sample.start, excerpt: found });
  });
  for (const cue of index.cues) {
    const at = findWords(cue.text, words);
    if (at >= 0) hits.push({ sample: -1, start: cue.start, excerpt: excerpt(cue.text, at, words[0].length) });
  }
  // Array.prototype.sort is stable: slides stay before captions of the same start.
  return hits.sort((a, b) => a.start - b.start);
}

// Under Node, for the tests.
if (typeof module === "object" && module !== null) {
  Object.assign(module.exports, { foldText, indexLecture, searchLecture });
}
