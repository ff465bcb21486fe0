#!/usr/bin/env node
// SPDX-License-Identifier: MIT
// Mutation testing of the player's rules: StrykerJS mutates player/rules/
// and runs Node's tests of the rules against each mutant; this script then
// reports every mutant that survived and is not in
// tools/player-mutation-equivalent.txt, and fails on any such survivor or
// on a score under 90 %, the equivalent ones counted as survivors.
//
//   node tools/mutate-player.mjs TOOL [RULE.js ...]
//
// TOOL is the built tool, which some of the tests run.  Naming rules (as
// "export.js") mutates only those, as CI's sample does; the score then is
// theirs.  Stryker's report is left in build/mutation/player.json.
import { spawnSync } from "node:child_process";
import { readFileSync } from "node:fs";
import { resolve } from "node:path";

const [tool, ...sample] = process.argv.slice(2);
if (tool === undefined) {
  console.error("usage: node tools/mutate-player.mjs TOOL [RULE.js ...]");
  process.exit(2);
}
const root = new URL("..", import.meta.url).pathname;
const mutate = sample.length > 0 ? ["--mutate", sample.map((rule) => `player/rules/${rule}`).join(",")] : [];
const run = spawnSync(`${root}node_modules/.bin/stryker`, ["run", "tests/player/stryker.config.json", ...mutate], {
  cwd: root, stdio: "inherit",
  env: { ...process.env, HREFTRACK_COMMAND: resolve(tool), HREFTRACK_UNTIMED: "1" },
});
if (run.status !== 0) {
  console.error(`stryker failed (${run.error?.message ?? `status ${run.status}`})`);
  process.exit(1);
}

// A mutant is named by its file, the function it is in ("-" outside any),
// what it changes and what to: "export.js vttTime `Math.round(x)` ->
// `Math.floor(x)`".  A name may stand for several mutants alike in one
// function; then the reason holds for each of them.
const one = (text) => text.replace(/\s+/g, " ");
const functionAt = (lines, line) => {
  for (let at = line - 1; at >= 0; at -= 1) {
    if (at < line - 1 && /^}/.test(lines[at])) return "-";
    const declared = /^function (\w+)/.exec(lines[at]) ?? /^const (\w+) = /.exec(lines[at]);
    if (declared) return declared[1];
  }
  return "-";
};
const nameOf = (file, source, mutant) => {
  const lines = source.split("\n");
  const { start, end } = mutant.location;
  const original = start.line === end.line
    ? lines[start.line - 1].slice(start.column - 1, end.column - 1)
    : [lines[start.line - 1].slice(start.column - 1), ...lines.slice(start.line, end.line - 1),
       lines[end.line - 1].slice(0, end.column - 1)].join("\n");
  return `${file.replace(/^.*\//, "")} ${functionAt(lines, start.line)} \`${one(original)}\` -> ` +
         `\`${one(mutant.replacement ?? "")}\``;
};

const equivalent = new Set(readFileSync(`${root}tools/player-mutation-equivalent.txt`, "utf8").split("\n")
  .filter((line) => line.trim() !== "" && !line.startsWith("#"))
  .map((line) => line.split(" -- ")[0].trim()));
const report = JSON.parse(readFileSync(`${root}build/mutation/player.json`, "utf8"));
let killed = 0;
let listed = 0;
const unlisted = [];
for (const [file, { source, mutants }] of Object.entries(report.files)) {
  for (const mutant of mutants) {
    if (["Killed", "Timeout"].includes(mutant.status)) killed += 1;
    else if (["Survived", "NoCoverage"].includes(mutant.status)) {
      const name = nameOf(file, source, mutant);
      if (equivalent.has(name)) listed += 1;
      else unlisted.push(`${name}  (line ${mutant.location.start.line}, ${mutant.mutatorName}, ${mutant.status})`);
    }
  }
}
// The score counts the equivalent mutants as survivors, as Stryker does.
const score = (100 * killed) / (killed + listed + unlisted.length || 1);
console.log(`player mutants: ${killed} killed, ${listed} equivalent, ${unlisted.length} other survivors; ` +
            `score ${score.toFixed(1)} %`);
for (const name of unlisted) console.log(`survived: ${name}`);
process.exit(unlisted.length === 0 && score >= 90 ? 0 : 1);
