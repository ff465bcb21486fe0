// SPDX-License-Identifier: MIT
// The table of keys: what each key does where, and what the keys dialog
// and aria-keyshortcuts make of it.
import { test } from "node:test";
import assert from "node:assert/strict";
import "./rules.mjs";

const { words, keyTable, keyName, keyAction, keyShortcuts, keyGroups } = globalThis;

test("each row of the table of keys: answered where it says, and said in the dialog", () => {
  // What the parts answer to in each place; an action no part knows would leave its key doing nothing.
  const moves = ["next", "previous", "first", "last"];
  const known = { page: ["next", "previous"], list: [...moves, "activate", "browser"], timeline: moves,
                  notes: [...moves, "keep", "drop"], search: ["hits", "clear"], tabs: moves, recording: ["browser"],
                  dialog: ["browser"] };
  for (const row of keyTable) {
    assert.ok(Object.keys(row.keys).length > 0, `${row.where}: a line of no key`);
    assert.ok(Object.values(row.keys).every((action) => known[row.where].includes(action)), JSON.stringify(row));
    for (const [name, action] of Object.entries(row.keys)) {
      // A key listed twice in one place would be answered by its first row only.
      assert.equal(keyAction(row.where, name), action === "browser" ? null : action, `${row.where}: ${name}`);
    }
    assert.ok(words.keys.places[row.where][row.says], `${row.where}: no words for ${row.says}`);
  }
  assert.deepEqual([keyAction("list", "PageDown"), keyAction("page", "Control+PageDown"), keyAction("notes", "Enter")],
                   [null, null, null], "a key of another place, or with another held, is not answered");
});

test("a key held with Alt, Control, Meta or Shift is named so, Meta as Control", () => {
  const held = (key, more = {}) => keyName({ key, altKey: false, ctrlKey: false, metaKey: false, shiftKey: false, ...more });
  assert.deepEqual([held("PageDown"), held("Enter", { metaKey: true }), held("Enter", { ctrlKey: true }),
                    held("PageUp", { shiftKey: true }), held("End", { altKey: true, ctrlKey: true, shiftKey: true })],
                   ["PageDown", "Control+Enter", "Control+Enter", "Shift+PageUp", "Alt+Control+Shift+End"]);
});

test("the keys dialog and aria-keyshortcuts, from the table", () => {
  assert.deepEqual([keyShortcuts("page"), keyShortcuts("notes", "keep"), keyShortcuts("list", "activate")],
                   ["PageDown PageUp", "Control+Enter", "Enter Space"]);
  const groups = keyGroups();
  assert.deepEqual(groups.map((group) => group.lines.length), [2, 4, 3, 4, 2, 2, 1, 1]);
  assert.deepEqual(groups[1], { where: "I lista over lysark, treffene og tekstutskriften", lines: [
    { keys: ["Pil ned", "Pil opp"], what: "neste / forrige i lista" }, { keys: ["Home", "End"], what: "første / siste i lista" },
    { keys: ["Enter", "Mellomrom"], what: "gå dit i opptaket" }, { keys: ["Tab"], what: "videre til neste del av siden" }] });
});
