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
