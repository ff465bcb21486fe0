// SPDX-License-Identifier: MIT
// The student's notes on a lecture: "Nytt notat" opens a field at the
// moment the recording is at, and stops nothing; Lagre (or Control+Enter)
// keeps the note, Escape drops it.  The notes are listed in time order,
// each with its slide's name, its moment and its text: activating one goes
// to its moment, and each can be changed and deleted (and a deletion
// undone).  The list is one Tab stop: Up and Down move between notes, Tab
// among a note's buttons.  "Last ned notater" saves them as Markdown, and
// a printed page shows them as a handout, under their slides.
"use strict";

/**
 * @typedef {object} Notes
 * @property {(notes: Note[] | null) => void} open  shows a lecture's notes; null while there is no lecture
 * @property {() => void} relabel  the slides' names changed
 */

/**
 * @param {{ time: () => number, go: (time: number) => void, samples: () => Sample[],
 *           name: (sample: number) => string, link: (time: number) => string, lecture: () => string,
 *           keep: (notes: Note[]) => boolean }} wiring
 *   `keep` stores the notes, and says whether the browser kept them
 * @returns {Notes}
 */
function makeNotes(wiring) {
  const add = byId("note-new", HTMLButtonElement);
  const save = byId("notes-save", HTMLButtonElement);
  const editor = byId("note-editor", HTMLElement);
  const label = byId("note-moment", HTMLLabelElement);
  const field = byId("note-text", HTMLTextAreaElement);
  const keep = byId("note-keep", HTMLButtonElement);
  const drop = byId("note-drop", HTMLButtonElement);
  const status = byId("notes-status", HTMLElement);
  const undo = byId("note-undo", HTMLButtonElement);
  const list = byId("notes", HTMLOListElement);
  const handout = byId("handout", HTMLElement);
  keep.setAttribute("aria-keyshortcuts", keyShortcuts("notes", "keep"));
  drop.setAttribute("aria-keyshortcuts", keyShortcuts("notes", "drop"));
  /** @type {Note[]} */
  let notes = [];
  // The note being written: its moment, and when it was made (null for a new one).
  /** @type {{ time: number, made: number | null, from: HTMLElement } | null} */
  let editing = null;
  // Each note's buttons, and the one of them the list's focus is on.
  /** @type {HTMLButtonElement[][]} */
  let rows = [];
  let row = 0;
  /** @type {Note | null} */
  let deleted = null;
  let warned = false;

  /** @param {number} time */
  const slideAt = (time) => {
    const sample = sampleAt(wiring.samples(), time);
    return sample >= 0 ? wiring.name(sample) : words.notes.noSlide;
  };
  /** @param {number} sample */
  const heading = (sample) => (sample < 0 ? words.notes.noSlide
    : `${wiring.name(sample)} (${formatStart(wiring.samples()[sample].start)})`);

  /** @param {string} text @param {string} [name] */
  function button(text, name) {
    const made = document.createElement("button");
    made.type = "button";
    made.textContent = text;
    if (name !== undefined) made.setAttribute("aria-label", name);
    return made;
  }

  /** @param {EventTarget | null} target @returns {{ row: number, column: number } | null} */
  function place(target) {
    for (let at = 0; at < rows.length; at += 1) {
      const column = rows[at].findIndex((made) => made === target);
      if (column >= 0) return { row: at, column };
    }
    return null;
  }

  // Only the buttons of the note the focus is on are Tab stops.
  function rove() {
    rows.forEach((buttons, at) => { for (const made of buttons) made.tabIndex = at === row ? 0 : -1; });
  }

  function drawHandout() {
    const title = document.createElement("h2");
    title.textContent = words.notes.title(wiring.lecture());
    /** @type {HTMLElement[]} */
    const parts = [title];
    for (const group of groupNotes(notes, wiring.samples())) {
      const slide = document.createElement("h3");
      slide.textContent = heading(group.sample);
      const items = document.createElement("ul");
      for (const note of group.notes) {
        const item = document.createElement("li");
        const moment = document.createElement("b");
        moment.textContent = formatStart(note.time);
        item.append(moment, " ", note.text);
        items.append(item);
      }
      parts.push(slide, items);
    }
    if (notes.length === 0) parts.push(Object.assign(document.createElement("p"), { textContent: words.notes.none }));
    handout.replaceChildren(...parts);
  }

  // Lists the notes anew; the focus, if it was in the list, goes to the same
  // button of the note in the same place, or to "Nytt notat".
  function draw() {
    const focused = place(document.activeElement);
    rows = notes.map((note) => {
      const moment = formatStart(note.time);
      const go = button("");
      const when = document.createElement("span");
      when.className = "note-when";
      when.textContent = `${moment} · ${slideAt(note.time)}`;
      const text = document.createElement("span");
      text.className = "note-text";
      text.textContent = note.text;
      go.append(when, " ", text);
      go.className = "note-go";
      go.addEventListener("click", () => wiring.go(note.time));
      const change = button(words.notes.changeButton, words.notes.changeLabel(moment));
      change.addEventListener("click", () => edit(note.time, note.made, note.text, change));
      const remove = button(words.notes.deleteButton, words.notes.deleteLabel(moment));
      remove.addEventListener("click", () => {
        deleted = note;
        status.textContent = words.notes.deleted(moment);
        undo.hidden = false;
        store(notes.filter((other) => other !== note));
      });
      return [go, change, remove];
    });
    list.replaceChildren(...rows.map((buttons) => {
      const item = document.createElement("li");
      item.append(...buttons);
      return item;
    }));
    row = Math.max(Math.min(row, rows.length - 1), 0);
    rove();
    if (focused !== null) (rows[row]?.[focused.column] ?? add).focus();
    save.disabled = notes.length === 0;
    drawHandout();
  }

  /** @param {Note[]} next */
  function store(next) {
    notes = sortNotes(next);
    if (!wiring.keep(notes) && !warned) {
      warned = true;
      status.textContent = words.notes.notKept;
    }
    draw();
  }

  /** @param {number} time @param {number | null} made @param {string} text @param {HTMLElement} from */
  function edit(time, made, text, from) {
    editing = { time, made, from };
    const moment = formatStart(time);
    label.textContent = made === null ? words.notes.new(moment, slideAt(time)) : words.notes.change(moment, slideAt(time));
    field.value = text;
    editor.hidden = false;
    field.focus();
  }

  /** @param {boolean} keeping */
  function finish(keeping) {
    if (editing === null) return;
    const { time, made, from } = editing;
    const text = field.value.trim();
    editing = null;
    editor.hidden = true;
    if (!keeping || text === "") {
      from.focus();
      return;
    }
    // Each note is known by when it was made: never two alike.
    const newest = Math.max(Date.now(), ...notes.map((note) => note.made + 1));
    const note = { time, text, made: made ?? newest };
    store([...notes.filter((other) => other.made !== made), note]);
    row = notes.indexOf(note);
    rove();
    rows[row][0].focus();
  }

  add.addEventListener("click", () => edit(wiring.time(), null, "", add));
  keep.addEventListener("click", () => finish(true));
  drop.addEventListener("click", () => finish(false));
  editor.addEventListener("keydown", (event) => {
    const action = keyAction("notes", keyName(event));
    if (action !== "keep" && action !== "drop") return;
    event.preventDefault();
    finish(action === "keep");
  });
  undo.addEventListener("click", () => {
    if (deleted !== null) store([...notes, deleted]);
    deleted = null;
    undo.hidden = true;
    status.textContent = "";
    add.focus();
  });
  list.addEventListener("focusin", (event) => {
    const at = place(event.target);
    if (at === null) return;
    row = at.row;
    rove();
  });
  list.addEventListener("keydown", (event) => {
    const at = place(event.target);
    // Enter and Space are the buttons' own.
    const move = at === null ? null : listKey("notes", keyName(event), at.row, rows.length);
    if (at === null || move === null) return;
    event.preventDefault();
    row = move.active;
    rove();
    rows[row][at.column].focus();
  });
  save.addEventListener("click", () => {
    const lecture = wiring.lecture();
    saveFile(words.notes.file(lecture), notesMarkdown(lecture, groupNotes(notes, wiring.samples()), heading,
                                                      wiring.link), "text/markdown;charset=utf-8");
  });

  return {
    open(stored) {
      finish(false);
      notes = stored ?? [];
      add.disabled = stored === null;
      deleted = null;
      undo.hidden = true;
      status.textContent = "";
      draw();
    },
    relabel: draw,
  };
}
