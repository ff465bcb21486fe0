// SPDX-License-Identifier: MIT
// What the tests of the player's rules share: the rules themselves, loaded
// as the page loads them, the tool that writes tracks, and a few tracks.
//
//   HREFTRACK_COMMAND='tool' node --test tests/player/rules/
//
// HREFTRACK_COMMAND is the command that starts the tool, its words separated
// by ';' as CMake lists them (an emulator may come first).
import { execFileSync } from "node:child_process";
import { mkdtempSync, readFileSync, readdirSync, rmSync, writeFileSync } from "node:fs";
import { createRequire } from "node:module";
import { tmpdir } from "node:os";
import { join } from "node:path";

import { longTrack } from "../lecture.mjs";

// The player's scripts are classic scripts, which share their functions as
// the page's globals.  Node loads each of its rules as a CommonJS module, as
// index.html loads them and in its order; its exports are made globals
// here, so that each script finds the others' as it does in the page.
const require = createRequire(import.meta.url);
export const player = new URL("../../../player/", import.meta.url).pathname;
export const loaded = [...readFileSync(join(player, "index.html"), "utf8").matchAll(/<script src="([^"]+)" defer><\/script>/g)]
  .map((script) => script[1]);
// The tables of the page's other languages, which the page loads only for a reader of them.
export const tables = readdirSync(join(player, "rules")).filter((name) => /^words-\w+\.js$/.test(name))
  .map((name) => `rules/${name}`);
export const rules = [...loaded.filter((script) => script.startsWith("rules/")), ...tables];
for (const script of rules) Object.assign(globalThis, require(join(player, script)));

export const root = new URL("../../..", import.meta.url).pathname;
export const command = (process.env.HREFTRACK_COMMAND ?? "").split(";").filter((word) => word !== "");

// A test that times the rules is skipped where HREFTRACK_UNTIMED is set: under
// mutation, whose every run is many times slower, it would fail by the clock
// rather than by a wrong answer.
export const timed = { skip: process.env.HREFTRACK_UNTIMED ? "timed, and HREFTRACK_UNTIMED is set" : false };

// The track the tool writes for `log` with the two answers.
export function toolTrack(log, offset, playLength) {
  const dir = mkdtempSync(join(tmpdir(), "player-test-"));
  try {
    writeFileSync(join(dir, "log.xml"), log, "latin1");
    execFileSync(command[0], command.slice(1), { cwd: dir, input: `${offset}\n${playLength}\n` });
    return readFileSync(join(dir, "HREFTrack.txt"), "latin1");
  } finally {
    rmSync(dir, { recursive: true, force: true });
  }
}

export const spans = (samples) => samples.map((s) => `${s.url}@${s.start}-${s.end}`);
export const base = "http://127.0.0.1:8000/lecture/HREFTrack.txt";

// A track of `count` samples a second apart.
export const manySamples = (count) => longTrack("{QTtext}{font:Geneva}", count, 100, (i) => `foil${i}.html`);

// Samples in the order of their start, as the page keeps them: a gap from 5
// to 6, and an overlap where the log's times went back (6-20 and 10-30).
export const samples = [[0, 3], [3, 5], [6, 20], [10, 30]].map(([start, end], i) =>
  ({ start, end, href: `foil${i}.html` }));

