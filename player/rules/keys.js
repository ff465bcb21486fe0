// SPDX-License-Identifier: MIT
// Every key the page answers to, in one table: where it is answered, what
// it does there, and what the keys dialog says of it.  The parts ask the
// table what a key does, the dialog lists it, and aria-keyshortcuts is
// written from it.  A key with Alt, Control (or Meta, as on a Mac) or Shift
// held is another key everywhere, named so: "Control+Enter".
"use strict";

/**
 * Where a key is answered: anywhere but in a text field ("page"), in the
 * slide list, the search's hits and the transcript ("list"), on the
 * timeline, in the notes (their editor and their list), in the search
 * field, on the side's tabs, in the recording and in the keys dialog.
 * @typedef {"page" | "list" | "timeline" | "notes" | "search" | "tabs" | "recording" | "dialog"} KeyPlace
 */
/**
 * A line of the keys dialog: `keys` maps each key, as keyName names it, to
 * what it does `where`; "browser" is a key the browser answers itself,
 * listed for the student only.  `says` names the dialog's words for the
 * line in words.keys.places.
 * @typedef {{ where: KeyPlace, keys: Record<string, string>, says: string }} KeyRow
 */

const keyTable = Object.freeze(/** @type {KeyRow[]} */ ([
  // A presenter's remote sends PageUp and PageDown.
  { where: "page", keys: { PageDown: "next" }, says: "next" },
  { where: "page", keys: { PageUp: "previous" }, says: "previous" },
  { where: "list", keys: { ArrowDown: "next", ArrowUp: "previous" }, says: "move" },
  { where: "list", keys: { Home: "first", End: "last" }, says: "ends" },
  { where: "list", keys: { Enter: "activate", " ": "activate" }, says: "activate" },
  { where: "list", keys: { Tab: "browser" }, says: "leave" },
  { where: "timeline", keys: { ArrowRight: "next", ArrowLeft: "previous" }, says: "move" },
  { where: "timeline", keys: { ArrowUp: "next", ArrowDown: "previous" }, says: "move" },
  { where: "timeline", keys: { Home: "first", End: "last" }, says: "ends" },
  { where: "notes", keys: { "Control+Enter": "keep" }, says: "keep" },
  { where: "notes", keys: { Escape: "drop" }, says: "drop" },
  { where: "notes", keys: { ArrowDown: "next", ArrowUp: "previous" }, says: "move" },
  { where: "notes", keys: { Home: "first", End: "last" }, says: "ends" },
  { where: "search", keys: { ArrowDown: "hits" }, says: "hits" },
  { where: "search", keys: { Escape: "clear" }, says: "clear" },
  { where: "tabs", keys: { ArrowRight: "next", ArrowLeft: "previous" }, says: "move" },
  { where: "tabs", keys: { Home: "first", End: "last" }, says: "ends" },
  { where: "recording", keys: { " ": "browser" }, says: "play" },
  { where: "dialog", keys: { Escape: "browser" }, says: "close" },
]));

/**
 * The name of the key a keyboard event reports, the keys held with it
 * first: "Shift+PageDown".  Meta counts as Control.
 * @param {{ key: string, altKey: boolean, ctrlKey: boolean, metaKey: boolean, shiftKey: boolean }} event
 * @returns {string}
 */
function keyName({ key, altKey, ctrlKey, metaKey, shiftKey }) {
  return `${altKey ? "Alt+" : ""}${ctrlKey || metaKey ? "Control+" : ""}${shiftKey ? "Shift+" : ""}${key}`;
}

/**
 * What the key named `name` does `where`, or null for a key the page
 * leaves to the browser there.
 * @param {KeyPlace} where
 * @param {string} name  as keyName names it
 * @returns {string | null}
 */
function keyAction(where, name) {
  const row = keyTable.find((line) => line.where === where && Object.hasOwn(line.keys, name));
  const action = row === undefined ? "browser" : row.keys[name];
  return action === "browser" ? null : action;
}

/**
 * The keys that do `action` `where` (every key answered there where no
 * action is named), as aria-keyshortcuts lists them.
 * @param {KeyPlace} where
 * @param {string} [action]
 * @returns {string}
 */
function keyShortcuts(where, action) {
  return keyTable.filter((row) => row.where === where)
    .flatMap((row) => Object.keys(row.keys).filter((name) => (action ?? row.keys[name]) === row.keys[name]))
    .map((name) => (name === " " ? "Space" : name)).join(" ");
}

/**
 * The keys dialog: a group for each place, in the table's order, and a
 * line for each row, its keys named as the student reads them.
 * @returns {{ where: string, lines: { keys: string[], what: string }[] }[]}
 */
function keyGroups() {
  /** @type {Map<string, { where: string, lines: { keys: string[], what: string }[] }>} */
  const groups = new Map();
  const names = /** @type {Record<string, string>} */ (words.keys.names);
  for (const row of keyTable) {
    const place = /** @type {Record<string, string>} */ (words.keys.places[row.where]);
    let group = groups.get(row.where);
    if (group === undefined) {
      group = { where: place.where, lines: [] };
      groups.set(row.where, group);
    }
    group.lines.push({ keys: Object.keys(row.keys).map((name) => names[name] ?? name), what: place[row.says] });
  }
  return [...groups.values()];
}

// Under Node, for the tests.
if (typeof module === "object" && module !== null) {
  Object.assign(module.exports, { keyTable, keyName, keyAction, keyShortcuts, keyGroups });
}
