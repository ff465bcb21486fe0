// SPDX-License-Identifier: MIT
// Reads the page's own address: which recording, track and captions a link
// names, where it asks the recording to start, and what the page must say
// about it.  Only a track and captions of the page's own origin are played.
//
"use strict";

/**
 * What a link to the page asks for.  Addresses are resolved against the
 * page; null where there is nothing to fetch.
 * @typedef {object} LinkPlan
 * @property {string | null} track     the track to fetch and play
 * @property {string | null} video     the recording
 * @property {string | null} captions  the captions, WebVTT
 * @property {string | null} descriptions  the descriptions of what is seen, WebVTT
 * @property {number | null} startAt   seconds from the recording's start, from t=
 * @property {string} language         the captions' language tag
 * @property {boolean} chooser         whether the page offers its file chooser
 * @property {string[]} messages       what the page says about the link
 */

/**
 * The time a link asks to start at, from its `t=SECONDS`: null where it
 * gives none, NaN where it is no number of seconds, or one too large to
 * hold.
 * @param {string | null} value
 * @returns {number | null}
 */
function startTime(value) {
  if (value === null) return null;
  const seconds = /^(\d+(\.\d*)?|\.\d+)$/.test(value) ? Number(value) : NaN;
  return Number.isFinite(seconds) ? seconds : NaN;
}

/**
 * The language of the captions from a link's `captionslang=`: Norwegian
 * ("no") where it gives none, null where it is no language tag.
 * @param {string | null} value
 * @returns {string | null}
 */
function captionsLanguage(value) {
  if (value === null) return "no";
  return /^[A-Za-z]{2,8}(-[A-Za-z0-9]{1,8})*$/.test(value) ? value : null;
}

/**
 * The name of the captions in the browser's captions menu.
 * @param {string} language
 * @returns {string}
 */
function captionsLabel(language) {
  return words.captions.languages[language.toLowerCase()] ?? words.captions.otherLanguage(language);
}

/**
 * Whether the address `url` is of the page's own origin: never for a page
 * of an opaque origin, such as one opened from disk.
 * @param {string} url
 * @param {string} page
 * @returns {boolean}
 */
function sameOrigin(url, page) {
  try {
    const pageOrigin = new URL(page).origin;
    return pageOrigin !== "null" && new URL(url, page).origin === pageOrigin;
  } catch {
    return false;
  }
}

/**
 * The name of the file at `url` as its user knows it: the last part of its
 * path, decoded.
 * @param {string} url
 * @returns {string}
 */
function fileName(url) {
  try {
    return decodeURIComponent(new URL(url).pathname.split("/").pop() ?? "");
  } catch {
    return url;
  }
}

/**
 * The address `name` resolved against `page`, or null where it is none.
 * @param {string} name
 * @param {URL} page
 * @returns {string | null}
 */
function resolve(name, page) {
  try {
    return new URL(name, page).href;
  } catch {
    return null;
  }
}

/**
 * The language a link asks the page to be read in (its `lang=`), null where it names none.
 * @param {string} href
 * @returns {string | null}
 */
function linkLanguage(href) {
  return new URL(href).searchParams.get("lang");
}

/**
 * What the link `href`, the page's own address, asks the page to play.
 * @param {string} href
 * @returns {LinkPlan}
 */
function readLink(href) {
  const page = new URL(href);
  const query = page.searchParams;
  const language = captionsLanguage(query.get("captionslang"));
  /** @type {LinkPlan} */
  const plan = { track: null, video: null, captions: null, descriptions: null, startAt: startTime(query.get("t")),
                 language: language ?? "no", chooser: false, messages: [] };
  if (Number.isNaN(plan.startAt)) {
    const value = String(query.get("t"));
    // A value of any length is said by its start.
    plan.messages.push(words.link.notSeconds(value.length > 20 ? `${value.slice(0, 20)}…` : value));
    plan.startAt = null;
  }
  if (language === null) {
    plan.messages.push(words.link.notLanguage(String(query.get("captionslang"))));
  }
  const trackName = query.get("track");
  const videoName = query.get("video");
  const captionsName = query.get("captions");
  const descriptionsName = query.get("descriptions");
  // A page opened from disk cannot fetch files: its user chooses them.
  if (page.protocol === "file:") {
    plan.chooser = true;
    if (trackName !== null || videoName !== null || captionsName !== null || descriptionsName !== null) {
      plan.messages.push(words.link.fromDisk);
    }
    return plan;
  }
  plan.chooser = trackName === null;
  if (trackName === null && videoName === null) return plan;

  // The track beside the page unless the link names one.
  const track = resolve(trackName ?? "HREFTrack.txt", page);
  if (track === null) {
    plan.messages.push(words.link.trackInvalid(String(trackName)));
    return plan;
  }
  if (!sameOrigin(track, href)) {
    plan.messages.push(words.link.trackForeign(track));
    return plan;
  }
  plan.track = track;
  if (videoName) {
    plan.video = resolve(videoName, page);
    if (plan.video === null) plan.messages.push(words.link.recordingInvalid(videoName));
  } else {
    plan.messages.push(words.link.noRecording);
  }
  // Captions and descriptions follow the track's rule: from the page's own origin only.
  for (const [name, key, foreign] of /** @type {const} */ ([[captionsName, "captions", words.link.captionsForeign],
                                      [descriptionsName, "descriptions", words.link.descriptionsForeign]])) {
    if (name === null) continue;
    const address = resolve(name, page) ?? name;
    if (sameOrigin(address, href)) plan[key] = address;
    else plan.messages.push(foreign(address));
  }
  return plan;
}

// Under Node, for the tests.
if (typeof module === "object" && module !== null) {
  Object.assign(module.exports, { startTime, captionsLanguage, captionsLabel, sameOrigin, fileName, linkLanguage,
                                  readLink });
}
