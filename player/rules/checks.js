// SPDX-License-Identifier: MIT
// What the page checks of a lecture as it is published, so that nothing a
// lecturer got wrong fails silently: a recording that fails or cannot
// seek, a track that ends elsewhere than the recording, a slide page that
// is not there; and how many messages of one kind it shows at once.
"use strict";

/** How many messages of one kind the page shows before it only counts the rest. */
const shownMessages = 10;

/**
 * The first shownMessages of `texts`, then one that `more` makes of how
 * many are left, so that a screen reader is never flooded.
 * @param {string[]} texts
 * @param {(count: number) => string} more
 * @returns {string[]}
 */
function cappedMessages(texts, more) {
  const shown = texts.slice(0, shownMessages);
  if (texts.length > shown.length) shown.push(more(texts.length - shown.length));
  return shown;
}

/**
 * What the page says of a recording `name` that failed, from its
 * MediaError's code (1 aborted, 2 network, 3 decode, 4 source not
 * supported, which is also what a missing file over HTTP gives) and, where
 * the page could ask, the HTTP status of its address (null where it could
 * not: another site, or a file from disk, `chosen`) and whether its server
 * answers requests for byte ranges (null where unknown): a browser may
 * refuse a recording it cannot read in parts.  Null where nothing went
 * wrong that the user must hear of.
 * @param {string} name
 * @param {number} code
 * @param {number | null} status
 * @param {boolean} chosen
 * @param {boolean | null} [ranges]
 * @returns {string | null}
 */
function recordingProblem(name, code, status, chosen, ranges = null) {
  if (code === 2) return words.recording.network(name);
  if (code === 3) return words.recording.damaged(name);
  if (code !== 4) return null;
  if (ranges === false && !chosen && status !== null && status < 400) return words.recording.noRanges(name);
  if (chosen || (status !== null && status < 400)) return words.recording.unplayable(name);
  if (status === 404 || status === 410) return words.recording.missing(name);
  return status === null ? words.recording.missingOrUnplayable(name) : words.recording.refused(name, status);
}

/**
 * A recording's time ranges, such as what it can seek to, as [start, end]
 * pairs in seconds.
 * @typedef {[number, number][]} Ranges
 */

/** How near a range a moment counts as in it: a browser's times are not exact. */
const rangeSlack = 0.05;

/**
 * Whether a seek of the recording to `time` takes: the moment, or the
 * recording's end where `time` lies past it, is in one of the ranges it
 * can seek to.  A browser moves a seek outside them to the nearest point
 * that is in one, or does not seek at all.
 * @param {Ranges} seekable
 * @param {number} duration  NaN while unknown, Infinity for a stream
 * @param {number} time
 * @returns {boolean}
 */
function seeksTo(seekable, duration, time) {
  const target = Number.isFinite(duration) ? Math.min(time, duration) : time;
  return seekable.some(([start, end]) => start - rangeSlack <= target && target <= end + rangeSlack);
}

/**
 * Whether the recording cannot seek at all, as a browser says of one whose
 * server answers no byte ranges: its length is known, and what it can seek
 * to ends at its start.
 * @param {Ranges} seekable
 * @param {number} duration
 * @returns {boolean}
 */
function seeksNowhere(seekable, duration) {
  return Number.isFinite(duration) && duration > 0 && seekable.every(([, end]) => end <= 0);
}

/**
 * What the page says of a recording `name` that cannot seek, by whether its
 * server answers byte ranges: a server that does not is the cause; where it
 * does, or the recording was chosen from disk (true), the file is; null
 * where the page could not ask (another site).
 * @param {string} name
 * @param {boolean | null} ranges
 * @returns {string}
 */
function seekProblem(name, ranges) {
  if (ranges === false) return words.recording.unseekable(name);
  return ranges ? words.recording.unseekableFile(name) : words.recording.unseekableMaybe(name);
}

/**
 * The answer that gives a recording of `seconds` to hreftrack's question
 * of the exact play length, as it takes it: hours, minutes, seconds and
 * hundredths, "0 5 30 0"; null for a length it cannot take.
 * @param {number} seconds
 * @returns {string | null}
 */
function playLengthAnswer(seconds) {
  if (!(seconds >= 0) || Math.round(seconds * 100) > longestPlay) return null;
  return hundredthsOf(seconds).join(" ");
}

/**
 * What the page says where a track's closing stamp (`closing` seconds, the
 * play length it was made with) is not the recording's length
 * (`duration`): both, and the answer to give next time; null where they
 * agree within a tenth of a second, or where either is unknown.
 * @param {number | null} closing
 * @param {number} duration  NaN while unknown, Infinity for a stream
 * @returns {string | null}
 */
function lengthProblem(closing, duration) {
  if (closing === null || !Number.isFinite(duration) || duration <= 0) return null;
  // In hundredths, as the track and the dialogue count.
  if (Math.abs(Math.round(closing * 100) - Math.round(duration * 100)) <= 10) return null;
  return words.recording.length(formatLength(closing), formatLength(duration), playLengthAnswer(duration));
}

/**
 * What the page says of the slide page `url` that its server answered
 * with `status`: a page missing (404, 410) or refused (any other error);
 * null for one that is there, and where the request failed without an
 * answer (0), which says nothing of the page: a redirect to another site
 * fails so too, and the frame follows it.  The track always opens with
 * foil0.html, the page shown before the log's first slide, which a
 * lecturer may not know to make.
 * @param {string} url  as the track names it
 * @param {number} status
 * @returns {string | null}
 */
function slideProblem(url, status) {
  if (status < 400) return null;
  if (status !== 404 && status !== 410) return words.slides.refused(url, status);
  return url === "foil0.html" ? words.slides.missingOpening(url) : words.slides.missing(url);
}

/**
 * Whether none of the slides of a track chosen from disk was chosen:
 * `missing` of the `named` slides the track names as files.
 * @param {string[]} missing
 * @param {number} named
 * @returns {boolean}
 */
function noSlideChosen(missing, named) {
  return missing.length > 0 && missing.length === named;
}

/**
 * What the page says of the slides of a track chosen from disk that were
 * not chosen (`missing`, in the order they play), of `named` that the
 * track names as files: where none was, one message that says how to
 * choose them; else one a slide, capped.
 * @param {string[]} missing
 * @param {number} named
 * @returns {string[]}
 */
function unchosenSlideMessages(missing, named) {
  if (noSlideChosen(missing, named)) return [words.chooser.noSlides];
  return cappedMessages(missing.map((url) => words.chooser.missingSlide(url)), words.slides.more);
}

/**
 * What the page says of the slides of a track as they are read, in the
 * order they play (`urls`): of a page its server did not give, by what it
 * answered (`statuses`, by the address the track names it by), and of a
 * page read only in part for its length (`partial`); one message a page,
 * capped.
 * @param {string[]} urls
 * @param {Map<string, number>} statuses
 * @param {Set<string>} partial
 * @returns {string[]}
 */
function slideMessages(urls, statuses, partial) {
  const problems = urls.map((url) => slideProblem(url, statuses.get(url) ?? 0) ??
                                     (partial.has(url) ? words.slides.readInPart(url) : null));
  return cappedMessages(/** @type {string[]} */ (problems.filter((problem) => problem !== null)), words.slides.more);
}

// Under Node, for the tests.
if (typeof module === "object" && module !== null) {
  Object.assign(module.exports, { shownMessages, cappedMessages, recordingProblem, seeksTo, seeksNowhere, seekProblem,
                                  playLengthAnswer, lengthProblem, slideProblem, noSlideChosen,
                                  unchosenSlideMessages, slideMessages });
}
