// SPDX-License-Identifier: MIT
// The player's scripts: each loaded by the page, and its rules pure.
import { test } from "node:test";
import assert from "node:assert/strict";
import { readFileSync, readdirSync } from "node:fs";
import { join } from "node:path";
import { player, loaded, rules, tables } from "./rules.mjs";

test("the page loads every script of the player, and its rules touch no browser", () => {
  // A script left out of index.html would be missing from the page, and its rules from these tests;
  // only the tables of the other languages are left to the page to load, each for its language.
  const scripts = readdirSync(player, { recursive: true }).filter((name) => name.endsWith(".js"));
  assert.deepEqual([...loaded, ...tables].sort(), scripts.sort());
  assert.deepEqual(tables.map((table) => /words-(\w+)\.js/.exec(table)[1]).sort(),
                   globalThis.pageLanguages.filter((language) => language !== "nb").sort());
  assert.deepEqual([loaded[0], loaded.at(-1)], ["rules/words.js", "page.js"]);
  // What is pure takes what it needs of the page as arguments; only the rest may reach for it.
  for (const script of rules) {
    const code = readFileSync(join(player, script), "utf8").replace(/\/\*[\s\S]*?\*\/|\/\/.*$/gm, "");
    const reaches = /\b(document|window|localStorage|navigator|location|fetch|DOMParser|URL\.createObjectURL)\b/.exec(code);
    assert.equal(reaches?.[0], undefined, `${script} reaches for ${reaches?.[0]}`);
  }
});

test("each rule runs as the page runs it: a classic script, with no module of Node's", () => {
  // Exported where there is no module, a rule would stop the page with a TypeError.
  for (const script of rules) {
    const code = readFileSync(join(player, script), "utf8");
    assert.doesNotThrow(() => new Function("module", code)(undefined), script);
  }
});
