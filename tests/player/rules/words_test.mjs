// SPDX-License-Identifier: MIT
// The words of the page: every word the scripts use is in the table, and
// every message says what it is given.
import { test } from "node:test";
import assert from "node:assert/strict";
import { readFileSync } from "node:fs";
import { join } from "node:path";
import { player, loaded } from "./rules.mjs";

const { words } = globalThis;

// Each word of `value`, by its path: a text, or a message made of what it is given.
function* leaves(value, path) {
  if (typeof value === "string" || typeof value === "function") yield [path, value];
  else for (const [key, inner] of Object.entries(value)) yield* leaves(inner, `${path}.${key}`);
}

test("every word the scripts use is in the table, a text, and each message holds what it is given", () => {
  // A word missing from the table shows as "undefined" on the page, or stops the script that wanted it.
  const used = new Set(loaded.filter((script) => script !== "rules/words.js")
    .map((script) => readFileSync(join(player, script), "utf8").replace(/\/\*[\s\S]*?\*\/|\/\/.*$/gm, ""))
    .flatMap((code) => [...code.matchAll(/\bwords\.([\w$]+(?:\.[\w$]+)*)/g)])
    .map((found) => found[1]));
  assert.ok(used.size > 50, `${used.size} words used`);
  for (const path of used) {
    const value = path.split(".").reduce((inner, key) => inner?.[key], words);
    assert.ok(value !== undefined && value !== null, `words.${path} is not in the table`);
    for (const [name, word] of leaves(value, `words.${path}`)) {
      const given = Array.from({ length: typeof word === "function" ? word.length : 0 }, (_, i) => `‹${i + 1}›`);
      const text = typeof word === "function" ? word(...given) : word;
      assert.equal(typeof text, "string", name);
      assert.notEqual(text.trim(), "", `${name} says nothing`);
      // Whole sentences: a word cut out of the middle leaves a blank at an end, or a sentence in lower case.
      assert.equal(text, text.trim(), `${name} has a blank at an end: "${text}"`);
      assert.doesNotMatch(text, /\. [a-zæøå]/, `${name} goes on in lower case: ${text}`);
      for (const part of given) assert.ok(text.includes(part), `${name} leaves out ${part}: ${text}`);
    }
  }
});

// The shape of a table: each word's path, and for a message how much it is given.
const shape = (table) => [...leaves(table, "")].map(([path, word]) => `${path}/${typeof word === "function" ? word.length : "text"}`);

test("Nynorsk and English: the keys of Bokmål and no other, each message holding what it is given", () => {
  const { wordTables } = globalThis;
  assert.deepEqual(Object.keys(wordTables).sort(), ["en", "nb", "nn"]);
  for (const language of ["nn", "en"]) {
    // A key missing shows "undefined" in that language only; one more is a word no script says.
    assert.deepEqual(shape(wordTables[language]), shape(wordTables.nb), language);
    for (const [name, word] of leaves(wordTables[language], language)) {
      const given = Array.from({ length: typeof word === "function" ? word.length : 0 }, (_, i) => `‹${i + 1}›`);
      const text = typeof word === "function" ? word(...given) : word;
      assert.equal(typeof text, "string", name);
      assert.equal(text, text.trim(), `${name} has a blank at an end: "${text}"`);
      assert.notEqual(text, "", `${name} says nothing`);
      for (const part of given) assert.ok(text.includes(part), `${name} leaves out ${part}: ${text}`);
    }
  }
  // Counts in each language's own way: English says one hit, Nynorsk groups digits with a space.
  assert.deepEqual([wordTables.en.hits.all(1), wordTables.en.hits.all(2)], ["1 hit.", "2 hits."]);
  assert.match(wordTables.nn.track.more(12345), /^… og 12\s345 problem til i sporet/u);
});

test("the page's own words: each element of index.html named by a word of the table, in Bokmål as the table has it", () => {
  const html = readFileSync(join(player, "index.html"), "utf8");
  const found = new Map();
  for (const [, tag, attributes, text] of html.matchAll(/<(\w+)([^>]*\bdata-word[\w-]*="[^"]*"[^>]*)>([^<]*)/g)) {
    const attribute = (name) => new RegExp(`(?<![\\w-])${name}="([^"]*)"`).exec(attributes)?.[1];
    for (const [, kind, key] of attributes.matchAll(/\bdata-word(-label|-title|-content)?="([^"]*)"/g)) {
      const shown = { "-label": attribute("aria-label"), "-title": attribute("title"), "-content": attribute("content") }[kind]
        ?? text.trim().replace(/\s+/g, " ");
      found.set(`${tag}:${key}`, shown);
    }
  }
  const { wordTables } = globalThis;
  // A word of the table no element names is lost in translation; one named and missing shows nothing.
  assert.deepEqual([...new Set([...found.keys()].map((name) => name.split(":")[1]))].sort(),
                   Object.keys(wordTables.nb.page).sort());
  for (const [name, shown] of found) assert.equal(shown, wordTables.nb.page[name.split(":")[1]], name);
});
