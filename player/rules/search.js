// SPDX-License-Identifier: MIT
// Finds words in a lecture: in the text of its slides and in its captions and descriptions,
// and marks them where they stand.  Matching ignores case and accents
// ("cafe" finds "café") and the Unicode form a text was saved in, while æ,
// ø and å stay letters of their own.
"use strict";

/**
 * A text made ready for matching: `text` in its composed form (NFC),
 * `folded`, and for each character of `folded` the place in `text` it
 * comes from.
 * @typedef {{ text: string, folded: string, from: number[] }} Folded
 */
/**
 * A stretch of a text, `marked` where it is a word searched for.
 * @typedef {{ text: string, marked: boolean }} TextPart
 */
/**
 * What the search looks through: the text of each slide, by its address, and
 * the samples and captions, each with its start.
 * @typedef {object} LectureIndex
 * @property {{ url: string, start: number }[]} samples  in the order of their start
 * @property {Map<string, Folded>} slides
 * @property {{ start: number, text: Folded, described: boolean }[]} cues
 */
/**
 * One hit: a sample of a slide (`sample` its index) or a caption
 * (`sample` -1; `described` where it is a description), its start, and the text around the hit.
 * @typedef {{ sample: number, start: number, excerpt: string, described?: boolean }} Hit
 */

/**
 * Folds `text` for matching: lower case, without accents, but with æ, ø and
 * å as they are; runs of white space become one blank.  It is composed
 * first: macOS and some editors save "å" as "a" and a combining ring, which
 * would otherwise fold to "a".
 * @param {string} saved
 * @returns {Folded}
 */
function foldText(saved) {
  const text = saved.normalize("NFC");
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
 * @param {string[]} terms
 * @returns {number}
 */
function findWords(text, terms) {
  let first = -1;
  for (const word of terms) {
    const at = text.folded.indexOf(word);
    if (at < 0) return -1;
    if (first < 0) first = at;
  }
  return first;
}

/**
 * A slide's hit's `excerpt` as the list shows it after the slide's `name`
 * ("Lysark 1 · Loggen"): without the title it starts with where the name
 * ends with that title, so that the title is read once.
 * @param {string} name
 * @param {string} excerpt
 * @returns {string}
 */
function excerptBeside(name, excerpt) {
  const title = name.split(" · ").slice(1).join(" · ");
  // An excerpt never starts with a blank: a name without a title leaves it whole.
  return excerpt.startsWith(`${title} `) ? excerpt.slice(title.length + 1) : excerpt;
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
  // Past the first blank, if any (search gives -1 for none).
  if (from > 0) from += whole.slice(from, start).search(/\s/) + 1;
  if (to < whole.length) {
    const blank = whole.slice(end, to).search(/\s\S*$/);
    if (blank >= 0) to = end + blank;
  }
  const cut = whole.slice(from, to).replace(/\s+/g, " ").trim();
  return `${from > 0 ? "… " : ""}${cut}${to < whole.length ? " …" : ""}`;
}

/**
 * `text` in stretches, those that hold a word of `terms` (folded, as
 * queryWords gives them) marked.
 * @param {Folded} text
 * @param {string[]} terms
 * @returns {TextPart[]}
 */
function markWords(text, terms) {
  /** @type {[number, number][]} */
  const found = [];
  for (const word of terms) {
    for (let at = text.folded.indexOf(word); word !== "" && at >= 0; at = text.folded.indexOf(word, at + 1)) {
      found.push([text.from[at], text.from[at + word.length - 1] + 1]);
    }
  }
  found.sort((a, b) => a[0] - b[0]);
  /** @type {TextPart[]} */
  const parts = [];
  let done = 0;
  for (const [start, end] of found) {
    if (end <= done) continue;
    const from = Math.max(start, done);
    if (from > done) parts.push({ text: text.text.slice(done, from), marked: false });
    const last = parts[parts.length - 1];
    if (from === done && last?.marked) last.text += text.text.slice(from, end);
    else parts.push({ text: text.text.slice(from, end), marked: true });
    done = end;
  }
  if (done < text.text.length) parts.push({ text: text.text.slice(done), marked: false });
  return parts;
}

/**
 * The lecture made ready for searching.
 * @param {{ url: string, start: number }[]} samples  in the order of their start
 * @param {Map<string, string>} slides  the text of each slide that could be read, by its address
 * @param {{ start: number, text: string, described?: boolean }[]} cues  captions, and descriptions `described`
 * @returns {LectureIndex}
 */
function indexLecture(samples, slides, cues) {
  /** @type {Map<string, Folded>} */
  const folded = new Map();
  for (const [url, text] of slides) folded.set(url, foldText(text));
  return { samples, slides: folded,
           cues: cues.map((cue) => ({ start: cue.start, text: foldText(cue.text), described: cue.described === true })) };
}

/**
 * Every hit of `query` in the lecture, in the order of their start (a
 * slide before a caption that starts with it): each showing of a slide whose
 * slide holds every word, and each caption that does.
 * @param {LectureIndex} index
 * @param {string} query
 * @returns {Hit[]}
 */
function searchLecture(index, query) {
  const terms = queryWords(query);
  if (terms.length === 0) return [];
  /** @type {Map<string, string | null>} */
  const slideHits = new Map();
  for (const [url, text] of index.slides) {
    const at = findWords(text, terms);
    slideHits.set(url, at < 0 ? null : excerpt(text, at, terms[0].length));
  }
  /** @type {Hit[]} */
  const hits = [];
  index.samples.forEach((sample, number) => {
    const found = slideHits.get(sample.url);
    if (found) hits.push({ sample: number, start: sample.start, excerpt: found });
  });
  for (const cue of index.cues) {
    const at = findWords(cue.text, terms);
    if (at < 0) continue;
    /** @type {Hit} */
    const hit = { sample: -1, start: cue.start, excerpt: excerpt(cue.text, at, terms[0].length) };
    if (cue.described) hit.described = true;
    hits.push(hit);
  }
  // Array.prototype.sort is stable: slides stay before captions of the same start.
  return hits.sort((a, b) => a.start - b.start);
}

// Under Node, for the tests.
if (typeof module === "object" && module !== null) {
  Object.assign(module.exports, { foldText, queryWords, markWords, indexLecture, searchLecture, excerptBeside });
}
