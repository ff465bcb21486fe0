// SPDX-License-Identifier: MIT
// The files the page makes of a lecture for its user to keep: the notes as
// Markdown, and the slides shown as WebVTT chapters that other players and
// video services read.  A slide's title reaches them as text only.
"use strict";

/**
 * A chapter of the lecture: a slide shown, by its name, from its start.
 * @typedef {{ title: string, start: number, end: number }} Chapter
 */
/**
 * Notes under the slide that plays at their moment (`sample` -1 for none).
 * @typedef {{ sample: number, notes: Note[] }} NoteGroup
 */

/**
 * Where each sample shows in the lecture's chapters and on its timeline:
 * from its start to the next one's, the last to its own end.  A sample
 * that another starting with it replaces at once has no span.
 * @param {{ start: number, end: number }[]} samples  in the order of their start
 * @returns {{ sample: number, start: number, end: number }[]}
 */
function shownSpans(samples) {
  /** @type {{ sample: number, start: number, end: number }[]} */
  const spans = [];
  samples.forEach((sample, index) => {
    const end = index + 1 < samples.length ? samples[index + 1].start : sample.end;
    if (end > sample.start) spans.push({ sample: index, start: sample.start, end });
  });
  return spans;
}

/**
 * The lecture's chapters: the slides shown, each named by `name`.
 * @param {{ start: number, end: number }[]} samples  in the order of their start
 * @param {(index: number) => string} name
 * @returns {Chapter[]}
 */
function lectureChapters(samples, name) {
  return shownSpans(samples).map((span) => ({ title: name(span.sample), start: span.start, end: span.end }));
}

/**
 * A time as WebVTT writes it, hh:mm:ss.ttt.
 * @param {number} seconds
 * @returns {string}
 */
function vttTime(seconds) {
  const milliseconds = Math.round(seconds * 1000);
  const two = (/** @type {number} */ value) => String(value).padStart(2, "0");
  return `${two(Math.floor(milliseconds / 3600000))}:${two(Math.floor(milliseconds / 60000) % 60)}:` +
         `${two(Math.floor(milliseconds / 1000) % 60)}.${String(milliseconds % 1000).padStart(3, "0")}`;
}

/**
 * The chapters as a WebVTT file: a cue for each, its title as plain text
 * on one line.
 * @param {Chapter[]} chapters
 * @returns {string}
 */
function chaptersVtt(chapters) {
  const text = (/** @type {string} */ title) => title.replace(/&/g, "&amp;").replace(/</g, "&lt;")
    .replace(/>/g, "&gt;").replace(/\s+/g, " ");
  return ["WEBVTT", ...chapters.map((chapter) =>
    `${vttTime(chapter.start)} --> ${vttTime(chapter.end)}\n${text(chapter.title)}`)].join("\n\n") + "\n";
}

/**
 * The notes in time order, under the sample that plays at each note's
 * moment: a new group wherever that sample changes.
 * @param {Note[]} notes  in time order
 * @param {{ start: number, end: number }[]} samples  in the order of their start
 * @returns {NoteGroup[]}
 */
function groupNotes(notes, samples) {
  /** @type {NoteGroup[]} */
  const groups = [];
  for (const note of notes) {
    const sample = sampleAt(samples, note.time);
    const last = groups[groups.length - 1];
    if (last !== undefined && last.sample === sample) last.notes.push(note);
    else groups.push({ sample, notes: [note] });
  }
  return groups;
}

/**
 * `text` as Markdown shows it, never as mark-up: every character that
 * Markdown reads otherwise escaped, on one line; so are the ":" of "://"
 * and every ".", which a viewer would make a link of an address by, and a
 * "=" that begins it, which would make the line above a heading.
 * @param {string} text
 * @returns {string}
 */
function markdownText(text) {
  return text.replace(/\s+/g, " ").replace(/[\\`*_{}[\]<>()#+\-.!|~&]|:(?=\/\/)|^=/g, "\\$&");
}

/**
 * The notes as a Markdown file: the lecture's name, a heading for each
 * group with its slide's name (`heading`), and each note with its moment
 * as a link to it (`link`) and its text as the student wrote it.
 * @param {string} lecture
 * @param {NoteGroup[]} groups
 * @param {(sample: number) => string} heading
 * @param {(time: number) => string} link
 * @returns {string}
 */
function notesMarkdown(lecture, groups, heading, link) {
  const lines = [`# ${markdownText(words.notes.title(lecture))}`];
  for (const group of groups) {
    lines.push("", `## ${markdownText(heading(group.sample))}`, "");
    for (const note of group.notes) {
      // The lines of a note stay in its list item, each as text only.
      const text = note.text.split(/\r\n?|\n/).map(markdownText).join("\n  ");
      lines.push(`- [${formatStart(note.time)}](<${link(note.time)}>) ${text}`);
    }
  }
  return `${lines.join("\n")}\n`;
}

/**
 * The page's own address `page`, which starts the recording at `seconds`
 * (whole seconds, t= in its query).
 * @param {string} page
 * @param {number} seconds
 * @returns {string}
 */
function momentLink(page, seconds) {
  const url = new URL(page);
  url.searchParams.set("t", String(Math.floor(seconds)));
  url.hash = "";
  return url.href;
}

/**
 * The name the files made of a lecture start with: its recording's name
 * without its extension, safe as a file name.
 * @param {string} recording
 * @returns {string}
 */
function lectureName(recording) {
  const name = recording.replace(/\.[^.]*$/, "").replace(/[\\/:*?"<>|\u0000-\u001f]/g, "_").trim();
  return name === "" ? words.notes.lecture : name;
}

/**
 * The lecture's title, as the browser's media controls show it: the title
 * of its first slide, else its name (lectureName) from its `recording`.
 * @param {{ url: string }[]} samples
 * @param {Map<string, string>} titles  the slides' titles by address
 * @param {string} recording
 * @returns {string}
 */
function lectureTitle(samples, titles, recording) {
  return (samples.length > 0 && titles.get(samples[0].url)) || lectureName(recording);
}

// Under Node, for the tests.
if (typeof module === "object" && module !== null) {
  Object.assign(module.exports, { shownSpans, lectureChapters, vttTime, chaptersVtt, groupNotes, markdownText, notesMarkdown,
                                  momentLink, lectureName, lectureTitle });
}
