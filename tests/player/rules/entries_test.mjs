// SPDX-License-Identifier: MIT
// The entries of the player's lists: their labels, rows and keys.
import { test } from "node:test";
import assert from "node:assert/strict";
import "./rules.mjs";

const { entryLabel, listKey, rowsToLayOut } = globalThis;

test("the rows the list lays out: those in view and more on each side, never past its ends", () => {
  const rows = (count, scrollTop, rowHeight = 35, centre = 0) =>
    rowsToLayOut({ count, rowHeight, scrollTop, viewHeight: 350, around: 250, centre });
  assert.deepEqual(rows(100000, 35 * 5000), { first: 4750, end: 5260 });
  assert.deepEqual(rows(100000, 35 * 99990 + 17), { first: 99740, end: 100000 });
  assert.deepEqual(rows(4, 0), { first: 0, end: 4 });
  // Before a row is laid out, its height is not known: the rows around the marked one.
  assert.deepEqual(rows(100000, 0, 0, 90000), { first: 89750, end: 90251 });
});


test("entry labels: the slide's number as written, or the address; m:ss, h:mm:ss", () => {
  const label = (url, start) => entryLabel({ url, start });
  assert.deepEqual(label("http://x/lecture/foil12.html", 41.99), { name: "Lysark 12", start: "0:41" });
  assert.deepEqual(label("foil007.html", 59 * 60 + 59.5), { name: "Lysark 007", start: "59:59" });
  assert.deepEqual(label("http://x/foil.html", 3600), { name: "http://x/foil.html", start: "1:00:00" });
  // A slide's query or fragment leaves its number; a page that only begins like a slide's has none.
  assert.deepEqual(["foil12.html?v=2#top", "foil12.html#a", "foil12.html.bak"].map((url) => label(url, 0).name),
                   ["Lysark 12", "Lysark 12", "foil12.html.bak"]);
  assert.deepEqual(label("http://x/myfoil3.html", 360000 + 61),
                   { name: "http://x/myfoil3.html", start: "100:01:01" });
});

test("keys in a list: Up and Down one entry, Home and End its ends, Enter and Space activate", () => {
  const keyed = (key, active, count = 5) => listKey("list", key, active, count);
  assert.deepEqual(["ArrowDown", "ArrowUp", "Home", "End", "Enter", " "].map((key) => keyed(key, 2)),
                   [[3, false], [1, false], [0, false], [4, false], [2, true], [2, true]]
                     .map(([active, activate]) => ({ active, activate })));
  assert.deepEqual([keyed("ArrowDown", 4).active, keyed("ArrowUp", 0).active], [4, 0], "never past an end");
  assert.deepEqual(keyed("ArrowUp", 9), { active: 3, activate: false }, "from past the end of a list that shrank");
  // PageUp and PageDown stay the page's; Tab leaves the list; a key held with another is the browser's.
  assert.deepEqual([keyed("PageDown", 2), keyed("Tab", 2), keyed("Alt+ArrowDown", 2), keyed("Shift+ArrowDown", 2),
                    keyed("End", 0, 0)], [null, null, null, null, null]);
  // In the notes, Enter and Space are their buttons' own.
  assert.deepEqual(["ArrowDown", "End", "Enter", " ", "Escape"].map((key) => listKey("notes", key, 2, 5)),
                   [{ active: 3, activate: false }, { active: 4, activate: false }, null, null, null]);
});
