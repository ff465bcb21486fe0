// SPDX-License-Identifier: MIT
// What the page tells a listener, and when.
import { test } from "node:test";
import assert from "node:assert/strict";
import "./rules.mjs";

const { describerState, describe, chooseVoice, speechLanguage } = globalThis;

const plain = { announce: true, describe: false, speak: true, wait: true, slideText: false };
const on = { ...plain, describe: true };
// Runs `events` from `state` with `listening`; gives every action's type and text, and the last state.
function run(events, listening, state = describerState()) {
  const told = [];
  for (const event of events) {
    const answer = describe(state, event, listening);
    state = answer.state;
    told.push(...answer.actions.map((action) => (action.text === undefined ? action.type : `${action.type} ${action.text}`)));
  }
  return { told, state };
}
const slide = (index, text = "") => ({ type: "slide", index, name: `Lysark ${index}`, text });

test("a slide is told once it stands, once, and spoken only where the slides describe the lecture", () => {
  // Told again on a seek inside it, a slide would be said twice; -1 is between slides.
  assert.deepEqual(run([slide(1), slide(1), slide(-1), slide(2)], plain).told, ["write Lysark 1", "write Lysark 2"]);
  assert.deepEqual(run([slide(1)], { ...plain, announce: false }).told, []);
  // The first slide of a new track is new, whatever its number.
  assert.deepEqual(run([slide(0), { type: "track" }, slide(0)], plain).told, ["write Lysark 0", "write Lysark 0"]);
  // Description on and no descriptions: the slide's name is spoken, with its text where asked, its blanks trimmed.
  assert.deepEqual(run([slide(1, "  Måling av tid ")], on).told, ["write Lysark 1", "speak Lysark 1"]);
  assert.deepEqual(run([slide(1, "  Måling av tid "), slide(2, " ")], { ...on, slideText: true }).told,
                   ["write Lysark 1. Måling av tid", "speak Lysark 1. Måling av tid", "silence",
                    "write Lysark 2", "speak Lysark 2"]);
  // For a screen reader only; and told although the student turned the plain telling off.
  assert.deepEqual(run([slide(1)], { ...on, speak: false, announce: false }).told, ["write Lysark 1"]);
  // With descriptions of its own, the lecture's slides are told, not spoken over them.
  const described = describe(describerState(), { type: "described", described: true }, on).state;
  assert.deepEqual(run([slide(1, "tekst")], { ...on, slideText: true }, described).told, ["write Lysark 1"]);
});

test("a description is spoken and written as its cue begins, the next cutting it off", () => {
  assert.deepEqual(run([{ type: "cue", text: " En graf. " }, { type: "cue", text: "En tabell." }], on).told,
                   ["write En graf.", "speak En graf.", "silence", "write En tabell.", "speak En tabell."]);
  assert.deepEqual(run([{ type: "cue", text: "En graf." }], plain).told, []);
  assert.deepEqual(run([{ type: "cue", text: "En graf." }], { ...on, speak: false }).told, ["write En graf."]);
  assert.deepEqual(run([{ type: "cue", text: " " }], on).told, []);
});

test("a description still spoken as its cue ends holds the recording until it is said", () => {
  const cue = { type: "cue", text: "En lang graf." };
  assert.deepEqual(run([cue, { type: "cueEnd" }, { type: "cueEnd" }, { type: "spoken" }], on).told,
                   ["write En lang graf.", "speak En lang graf.", "hold", "release"]);
  // Said before its end, or not waited for: the recording never stops.
  assert.deepEqual(run([cue, { type: "spoken" }, { type: "cueEnd" }], on).told, ["write En lang graf.", "speak En lang graf."]);
  assert.deepEqual(run([cue, { type: "cueEnd" }], { ...on, wait: false }).told, ["write En lang graf.", "speak En lang graf."]);
  // A seek silences it and lets the recording go on; a pause of the student's silences it and leaves it paused.
  assert.deepEqual(run([cue, { type: "cueEnd" }, { type: "seek" }, { type: "spoken" }], on).told.slice(2),
                   ["hold", "silence", "release"]);
  assert.deepEqual(run([cue, { type: "cueEnd" }, { type: "pause" }, { type: "spoken" }], on).told.slice(2),
                   ["hold", "silence"]);
  // Description turned off, or waiting turned off, while held: the recording plays on at once.
  const held = run([cue, { type: "cueEnd" }], on).state;
  assert.deepEqual(run([{ type: "listening", was: on }], plain, held).told, ["silence", "release"]);
  assert.deepEqual(run([{ type: "listening", was: on }], { ...on, wait: false }, held).told, ["release"]);
  assert.deepEqual(run([{ type: "listening", was: on }], { ...on, speak: false }, held).told, ["silence", "release"]);
});

test("the voice: the system's own of the page's language, Bokmål and Nynorsk standing in for each other", () => {
  const voices = [{ name: "en", lang: "en-US", localService: true }, { name: "nb far", lang: "nb-NO", localService: false },
                  { name: "nb", lang: "nb_NO", localService: true }, { name: "nn", lang: "nn-NO" }];
  assert.deepEqual(["no", "nb", "nn", "en", "de"].map((language) => chooseVoice(voices, language)?.name ?? null),
                   ["nb", "nb", "nn", "en", null]);
  assert.equal(chooseVoice([voices[3]], "no").name, "nn");
  assert.equal(chooseVoice([voices[0]], "no"), null);
  assert.deepEqual(["no", "NB", "nn", "en"].map(speechLanguage), ["nb-NO", "nb-NO", "nn", "en"]);
});
