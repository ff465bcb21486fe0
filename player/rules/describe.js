// SPDX-License-Identifier: MIT
// What the page tells a listener, and when: the name of the slide once it
// stands (not at every step of a drag), and the recording's descriptions
// as their cues begin, spoken, written into the page's live region for a
// screen reader, or both.  A description still being spoken as its cue
// ends holds the recording until it is said; a seek, a pause or the next
// cue silences it at once.  A lecture without descriptions describes itself
// by its slides: the name of each, and its text where the student asks.
"use strict";

/** How long a slide must stand, in ms, before its name is told: a drag or a run of keys tells only where it ends. */
const slideSettles = 700;

/**
 * How the student listens, as the settings keep it.
 * @typedef {{ announce: boolean, describe: boolean, speak: boolean, wait: boolean, slideText: boolean }} Listening
 */
/**
 * What the describer holds between two events.
 * @typedef {object} DescriberState
 * @property {number} said  the sample whose slide was told last, -1 for none
 * @property {boolean} described  the lecture has descriptions of its own
 * @property {boolean} speaking  something the page said is still being spoken
 * @property {boolean} holding  the recording waits for it: the page paused it
 */
/**
 * What happened: a slide stood long enough (`name` and `text` as the list and the search have them), a
 * description's cue began or ended, the speech ended, the student sought or paused, the lecture's
 * descriptions came or went, a new track came, or the settings changed (`listening` then holds the new ones).
 * @typedef {{ type: "slide", index: number, name: string, text: string } | { type: "cue", text: string } |
 *           { type: "cueEnd" } | { type: "spoken" } | { type: "seek" } | { type: "pause" } |
 *           { type: "described", described: boolean } | { type: "track" } |
 *           { type: "listening", was: Listening }} DescriberEvent
 */
/**
 * What the page must do: write into its live region, speak (a description's cue in its track's language,
 * a slide in the page's), stop speaking, pause the recording to wait for the speech, or play it on.
 * @typedef {{ type: "write", text: string } | { type: "speak", text: string, cue: boolean } | { type: "silence" } |
 *           { type: "hold" } | { type: "release" }} DescriberAction
 */

/** @returns {DescriberState} */
function describerState() {
  return { said: -1, described: false, speaking: false, holding: false };
}

/**
 * The describer's answer to `event`, with the student's `listening`: its new state and what the page must
 * do, in order.
 * @param {DescriberState} state
 * @param {DescriberEvent} event
 * @param {Listening} listening
 * @returns {{ state: DescriberState, actions: DescriberAction[] }}
 */
function describe(state, event, listening) {
  /** @type {DescriberAction[]} */
  const actions = [];
  const next = { ...state };
  // Stops what is being spoken; the recording held for it plays on where `release`.
  const silence = (/** @type {boolean} */ release) => {
    if (next.speaking) actions.push({ type: "silence" });
    if (next.holding && release) actions.push({ type: "release" });
    next.speaking = false;
    next.holding = false;
  };
  // Tells `text`: written for a screen reader, and spoken where the student wants it spoken.
  const tell = (/** @type {string} */ text, /** @type {boolean} */ spoken, cue = false) => {
    if (spoken) silence(false);
    actions.push({ type: "write", text });
    if (!spoken) return;
    actions.push({ type: "speak", text, cue });
    next.speaking = true;
  };

  switch (event.type) {
    case "slide": {
      // A seek inside the slide that was told, or back to it at once, tells nothing new.
      if (event.index === state.said || event.index < 0) break;
      next.said = event.index;
      // Without descriptions of their own, the slides describe the lecture.
      const byItself = listening.describe && !state.described;
      const text = byItself && listening.slideText && event.text.trim() !== "" ? `${event.name}. ${event.text.trim()}`
        : event.name;
      if (listening.announce || byItself) tell(text, byItself && listening.speak);
      break;
    }
    case "cue":
      if (listening.describe && event.text.trim() !== "") tell(event.text.trim(), listening.speak, true);
      break;
    case "cueEnd":
      // Extended description: the recording waits for the end of what is said.
      if (state.speaking && listening.wait && !state.holding) {
        next.holding = true;
        actions.push({ type: "hold" });
      }
      break;
    case "spoken":
      next.speaking = false;
      next.holding = false;
      if (state.holding) actions.push({ type: "release" });
      break;
    case "seek":
      // The student has moved on: what was being said is past, and a recording held for it goes on.
      silence(true);
      break;
    case "pause":
      silence(false);
      break;
    case "described":
      next.described = event.described;
      break;
    case "track":
      // Its first slide is new, whatever its number in the track before.
      next.said = -1;
      break;
    case "listening":
      // Description turned off, or waiting or speaking: nothing goes on being said or waited for.
      if ((event.was.describe && !listening.describe) || (event.was.speak && !listening.speak)) silence(true);
      else if (event.was.wait && !listening.wait && state.holding) {
        next.holding = false;
        actions.push({ type: "release" });
      }
      break;
  }
  return { state: next, actions };
}

/**
 * The voice to speak a page in `language` with (its `lang` attribute: "no", "nb", "nn", "en", ...): the
 * system's own voice of that language before another, Bokmål and Nynorsk standing in for each other and
 * for "no"; null where the system has none of the language.
 * @template {{ lang: string, localService?: boolean, default?: boolean }} V
 * @param {readonly V[]} voices
 * @param {string} language
 * @returns {V | null}
 */
function chooseVoice(voices, language) {
  const base = (/** @type {string} */ tag) => tag.toLowerCase().split(/[-_]/)[0];
  const norwegian = ["no", "nb", "nn"];
  const wanted = base(language);
  const family = norwegian.includes(wanted) ? [wanted, ...norwegian.filter((tag) => tag !== wanted)] : [wanted];
  for (const tag of family) {
    const fitting = voices.filter((voice) => base(voice.lang) === tag);
    const best = fitting.find((voice) => voice.localService) ?? fitting[0];
    if (best) return best;
  }
  return null;
}

/**
 * The language tag to speak a page in `language` with where no voice of it is known: speech engines know
 * Norwegian as nb-NO.
 * @param {string} language
 * @returns {string}
 */
function speechLanguage(language) {
  return ["no", "nb"].includes(language.toLowerCase()) ? "nb-NO" : language;
}

// Under Node, for the tests.
if (typeof module === "object" && module !== null) {
  Object.assign(module.exports, { slideSettles, describerState, describe, chooseVoice, speechLanguage });
}
