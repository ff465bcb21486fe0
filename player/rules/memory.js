// SPDX-License-Identifier: MIT
// What the page keeps on the student's machine, in localStorage, and
// nowhere else: for each lecture the moment it was left at and the notes
// written to it, and for all lectures the settings (playback rate,
// captions shown, the side's panel, the page's layout, its language, and how the student
// listens: slide changes told, description on, spoken, waited for, with
// the slides' text).  One versioned key per lecture and one
// for the settings.  Whatever is read back is checked: anything the page
// did not write is passed by.  A browser may refuse storage (private
// windows, a full quota, some pages opened from disk); then nothing is
// kept, and nothing else changes.
"use strict";

/**
 * A note: its moment in seconds, its text, and when it was made (ms since
 * 1970), which orders notes of the same moment.
 * @typedef {{ time: number, text: string, made: number }} Note
 */
/**
 * What the page keeps of one lecture.
 * @typedef {{ moment: number | null, notes: Note[] }} LectureRecord
 */
/**
 * What the page keeps for all lectures.
 * @typedef {{ rate: number, captions: boolean, panel: string, layout: string, language: string } & Listening} Settings
 *   `language` is the one the student chose, "" where they chose none
 */

/** The side's panels, and the recording's shares of the page, as the page names them. */
const sidePanels = Object.freeze(["slides", "search", "transcript", "notes"]);
const pageLayouts = Object.freeze(["slides", "even", "recording"]);
/** How a student listens, as kept; slide changes are told, and a description, once on, is spoken and waited for. */
const listeningDefaults = Object.freeze({ announce: true, describe: false, speak: true, wait: true, slideText: false });

const memoryVersion = 1;
const settingsKey = `hreftrack.settings.v${memoryVersion}`;
/** The longest note kept, in characters, and the most notes of a lecture. */
const noteLength = 20000;
const mostNotes = 5000;

/**
 * The key of a lecture: its recording and its track, each by its address,
 * or, for a file chosen from disk, by its name and size ("" where there is
 * none).
 * @param {string} recording
 * @param {string} track
 * @returns {string}
 */
function lectureKey(recording, track) {
  return `hreftrack.lecture.v${memoryVersion}:${JSON.stringify([recording, track])}`;
}

/**
 * The object stored as `text`, or null where it is none.
 * @param {string | null} text
 * @returns {Record<string, unknown> | null}
 */
function storedObject(text) {
  if (text === null) return null;
  try {
    const value = JSON.parse(text);
    return typeof value === "object" && value !== null && !Array.isArray(value) ? value : null;
  } catch {
    return null;
  }
}

/** @param {unknown} value @returns {value is number} */
const isTime = (value) => typeof value === "number" && Number.isFinite(value) && value >= 0;
/** A moment of a recording, no later than the longest track ends. @param {unknown} value @returns {value is number} */
const isMoment = (value) => isTime(value) && value <= longestPlay / 100;

/**
 * Notes in the order they are listed: by their moment, then as they were made.
 * @param {Note[]} notes
 * @returns {Note[]}
 */
function sortNotes(notes) {
  return [...notes].sort((a, b) => a.time - b.time || a.made - b.made);
}

/**
 * A lecture's record as stored in `text`: what of it the page wrote.
 * @param {string | null} text
 * @returns {LectureRecord}
 */
function readLecture(text) {
  const stored = storedObject(text);
  /** @type {LectureRecord} */
  const record = { moment: null, notes: [] };
  if (stored === null || stored.version !== memoryVersion) return record;
  if (isMoment(stored.moment)) record.moment = stored.moment;
  if (Array.isArray(stored.notes)) {
    for (const note of stored.notes.slice(0, mostNotes)) {
      if (typeof note !== "object" || note === null) continue;
      const { time, text: written, made } = note;
      if (isMoment(time) && typeof written === "string" && written.length <= noteLength && isTime(made)) {
        record.notes.push({ time, text: written, made });
      }
    }
  }
  record.notes = sortNotes(record.notes);
  return record;
}

/**
 * The settings as stored in `text`, each that the page did not write at
 * its default: normal speed, captions shown, the slide list, the recording
 * and the slide alike, and listening as `listeningDefaults` has it.
 * @param {string | null} text
 * @returns {Settings}
 */
function readSettings(text) {
  const stored = storedObject(text);
  /** @type {Settings} */
  const settings = { rate: 1, captions: true, panel: "slides", layout: "even", language: "", ...listeningDefaults };
  if (stored === null || stored.version !== memoryVersion) return settings;
  // The rates a media element plays at, in every engine.
  if (isTime(stored.rate) && stored.rate >= 0.25 && stored.rate <= 4) settings.rate = stored.rate;
  if (typeof stored.captions === "boolean") settings.captions = stored.captions;
  if (typeof stored.panel === "string" && sidePanels.includes(stored.panel)) settings.panel = stored.panel;
  if (typeof stored.layout === "string" && pageLayouts.includes(stored.layout)) settings.layout = stored.layout;
  if (typeof stored.language === "string" && pageLanguages.includes(stored.language)) settings.language = stored.language;
  for (const name of /** @type {(keyof Listening)[]} */ (Object.keys(listeningDefaults))) {
    const value = stored[name];
    if (typeof value === "boolean") settings[name] = value;
  }
  return settings;
}

/**
 * The moment to keep of a recording at `time` of `duration` seconds, where
 * `kept` is kept already: null (forget it) within its first 5 and its last
 * 10 seconds, where a student starts or has finished; undefined (keep what
 * is kept) while it seeks, as when the student drags the seek bar, and
 * while it plays less than 5 seconds on from `kept`, unless the moment is
 * to be kept `now` (the recording paused, the page is left).
 * @param {number} time
 * @param {number} duration  NaN while unknown
 * @param {boolean} seeking
 * @param {number | null} [kept]  undefined where nothing is known to be kept
 * @param {boolean} [now]
 * @returns {number | null | undefined}
 */
function momentToKeep(time, duration, seeking, kept, now = false) {
  if (seeking || !Number.isFinite(duration)) return undefined;
  const moment = time < 5 || time > duration - 10 ? null : time;
  if (moment === kept) return undefined;
  if (!now && moment !== null && typeof kept === "number" && Math.abs(moment - kept) < 5) return undefined;
  return moment;
}

/**
 * Where a lecture opens, with `moment` the one it was left at: nowhere
 * (null) where the user has `moved` in it already, as before its recording
 * was chosen; else at `asked` (a link's t=), else at the moment, and then
 * the page says that it `resumes`.
 * @param {boolean} moved
 * @param {number | null} asked
 * @param {number | null} moment
 * @returns {{ at: number | null, resumes: boolean }}
 */
function lectureStart(moved, asked, moment) {
  if (moved) return { at: null, resumes: false };
  return { at: asked ?? moment, resumes: asked === null && moment !== null };
}

/**
 * @typedef {object} Memory
 * @property {(key: string) => LectureRecord} lecture
 * @property {(key: string, change: Partial<LectureRecord>) => boolean} keep
 *   keeps `change` in the lecture's record; false where the browser refused
 * @property {() => Settings} settings
 * @property {(change: Partial<Settings>) => void} keepSettings
 */

/**
 * The page's memory in the storage that `storage` gives; it may throw, as
 * may every use of what it gives.
 * @param {() => Pick<Storage, "getItem" | "setItem">} storage
 * @returns {Memory}
 */
function makeMemory(storage) {
  /** @param {string} key */
  const read = (key) => {
    try {
      return storage().getItem(key);
    } catch {
      return null;
    }
  };
  /** @param {string} key @param {object} value */
  const write = (key, value) => {
    try {
      storage().setItem(key, JSON.stringify({ version: memoryVersion, ...value }));
      return true;
    } catch {
      return false;
    }
  };
  return {
    lecture: (key) => readLecture(read(key)),
    keep: (key, change) => write(key, { ...readLecture(read(key)), ...change }),
    settings: () => readSettings(read(settingsKey)),
    keepSettings(change) { write(settingsKey, { ...readSettings(read(settingsKey)), ...change }); },
  };
}

// Under Node, for the tests.
if (typeof module === "object" && module !== null) {
  Object.assign(module.exports, { lectureKey, sortNotes, readLecture, readSettings, momentToKeep, lectureStart,
                                makeMemory });
}
