// SPDX-License-Identifier: MIT
// Reads an HREF track as hreftrack writes it: a "{QTtext}" header line, then
// samples of a stamp line "[HH:MM:SS.FF]" and an HREF line
// "A<url> T<frame>", and a last stamp that ends the last sample.
//
// A classic script, not a module: a page opened from disk may run classic
// scripts in every browser, modules only in some.  Its functions are the
// page's globals; under Node they are the module's exports.
"use strict";

/**
 * A sample of a track: the page `url` shown in `frame` from `start` to `end`
 * (seconds), read from line `line` of the track.
 * @typedef {{ start: number, end: number, url: string, frame: string, line: number }} TrackSample
 */
/**
 * A sample the page plays: its address resolved against the track's.
 * @typedef {TrackSample & { href: string }} Sample
 */
/**
 * Something wrong with a track, in the words of rules/words.js: at a line, or at line 0 for
 * the file as a whole.
 * @typedef {{ line: number, text: string }} Problem
 */

/** The most samples a page plays: a longer track is refused, not played slowly. */
const maxSamples = 100000;

/**
 * Reads a track.  Returns its samples in file order, the samples that are
 * never shown (their next stamp is not later than their own), the time of
 * its closing stamp (the play length it was made with: its last stamp that
 * ends a sample, null where none does), and the problems found.  A track of
 * more than maxSamples samples is read no further: it has no samples then,
 * only the problem that says so.
 * @param {string} text
 * @returns {{ samples: TrackSample[], hidden: TrackSample[], closing: number | null, problems: Problem[] }}
 */
function parseTrack(text) {
  /** @type {TrackSample[]} */
  const samples = [];
  /** @type {TrackSample[]} */
  const hidden = [];
  /** @type {Problem[]} */
  const problems = [];
  /** @type {number | null} */
  let closing = null;
  let at = 0;
  let number = 0;
  // The next line without its line end, or null after the last.
  const nextLine = () => {
    if (at >= text.length) return null;
    let end = text.indexOf("\n", at);
    if (end < 0) end = text.length;
    const line = text.slice(at, end > at && text[end - 1] === "\r" ? end - 1 : end);
    at = end + 1;
    number += 1;
    return line;
  };
  const header = nextLine();
  if (header === null || !header.startsWith("{QTtext}")) {
    problems.push({ line: 0, text: words.track.noHeader });
    return { samples, hidden, closing, problems };
  }
  // Every stamp ends the sample before it; a stamp followed by an HREF line
  // also begins a sample.
  /** @type {TrackSample | null} */
  let open = null;
  /** @type {number | null} */
  let stampTime = null;
  const close = (/** @type {number} */ time) => {
    if (open === null) return;
    closing = time;
    open.end = time;
    (open.end > open.start ? samples : hidden).push(open);
    open = null;
  };
  for (let line = nextLine(); line !== null; line = nextLine()) {
    // A line's first character tells which of the two it can be.
    const stamp = line[0] === "[" ? /^\[(\d{2,}):(\d{2}):(\d{2})\.(\d{2})\]$/.exec(line) : null;
    if (stamp) {
      stampTime = Number(stamp[1]) * 3600 + Number(stamp[2]) * 60 + Number(stamp[3]) +
                  Number(stamp[4]) / 100;
      close(stampTime);
      continue;
    }
    const href = line[0] === "A" ? /^A<([^<>]*)> T<([^<>]*)>$/.exec(line) : null;
    if (href && stampTime !== null) {
      if (samples.length + hidden.length >= maxSamples) {
        problems.push({ line: 0, text: words.track.tooLong(maxSamples) });
        return { samples: [], hidden: [], closing: null, problems };
      }
      open = { start: stampTime, end: stampTime, url: href[1], frame: href[2], line: number };
      stampTime = null;
    } else if (href) {
      problems.push({ line: number, text: words.track.noStamp(number) });
    } else if (line.trim() !== "") {
      problems.push({ line: number, text: words.track.unknownLine(number) });
    }
  }
  if (open !== null) {
    const last = /** @type {TrackSample} */ (open);
    problems.push({ line: last.line, text: words.track.noEnd(last.line) });
  }
  return { samples, hidden, closing, problems };
}

/**
 * Whether `url` has a scheme of its own (http:, javascript:, ...), as the
 * URL parser reads it: after leading and trailing controls and blanks,
 * without tabs and line ends.  An address without one is relative.
 * @param {string} url
 * @returns {boolean}
 */
function hasScheme(url) {
  const bare = url.replace(/^[\u0000-\u0020]+|[\u0000-\u0020]+$/g, "").replace(/[\t\n\r]/g, "");
  return /^[A-Za-z][A-Za-z0-9+.-]*:/.test(bare);
}

/**
 * The address a sample may load into the frame, resolved against `base`,
 * or null: only a relative address, or one for http or https, is allowed.
 * @param {string} url
 * @param {string} base
 * @returns {string | null}
 */
function allowedUrl(url, base) {
  let resolved;
  try {
    resolved = new URL(url, base);
  } catch {
    return null;
  }
  if (hasScheme(url) && resolved.protocol !== "http:" && resolved.protocol !== "https:") return null;
  return resolved.href;
}

/**
 * The samples that the page plays, with their addresses resolved against
 * `base`, in the order of their start (file order where two start
 * together), and a problem for every sample whose address or frame is
 * refused.
 * @param {{ samples: TrackSample[], problems: Problem[] }} parsed
 * @param {string} base
 * @param {string} frameName
 * @returns {{ samples: Sample[], problems: Problem[] }}
 */
function playableSamples(parsed, base, frameName) {
  /** @type {Sample[]} */
  const playable = [];
  const problems = [...parsed.problems];
  // A lecture shows its pages again and again: each address is resolved once.
  /** @type {Map<string, string | null>} */
  const resolved = new Map();
  for (const sample of parsed.samples) {
    let href = resolved.get(sample.url);
    if (href === undefined) {
      href = allowedUrl(sample.url, base);
      resolved.set(sample.url, href);
    }
    if (href === null) {
      problems.push({ line: sample.line, text: words.track.refused(sample.line, sample.url) });
    } else if (sample.frame !== frameName) {
      problems.push({ line: sample.line, text: words.track.noFrame(sample.line, sample.frame) });
    } else {
      playable.push({ ...sample, href });
    }
  }
  // Array.prototype.sort is stable, so samples that start together keep the
  // order of the file.
  playable.sort((a, b) => a.start - b.start);
  return { samples: playable, problems };
}

/**
 * The messages that tell of a track's problems, capped as every kind of
 * message is (rules/checks.js).
 * @param {Problem[]} problems
 * @returns {string[]}
 */
function problemMessages(problems) {
  return cappedMessages(problems.map((problem) => problem.text), words.track.more);
}

/**
 * A track's `text` read for the page, its slides resolved against `base`:
 * the samples that play, the frame they load in (that of the track's first
 * sample, "" where it has none), the play length it was made with, and the
 * messages that tell of its problems.
 * @param {string} text
 * @param {string} base
 * @returns {{ samples: Sample[], target: string, closing: number | null, messages: string[] }}
 */
function readTrack(text, base) {
  const parsed = parseTrack(text);
  const target = parsed.samples.length > 0 ? parsed.samples[0].frame : "";
  const { samples, problems } = playableSamples(parsed, base, target);
  return { samples, target, closing: parsed.closing, messages: problemMessages(problems) };
}

// Under Node, for the tests.
if (typeof module === "object" && module !== null) {
  Object.assign(module.exports, { parseTrack, allowedUrl, hasScheme, playableSamples, problemMessages, readTrack,
                                  maxSamples });
}
