// SPDX-License-Identifier: MIT
// What a listener hears: the button that turns description on, the choices
// of how the student listens, the live region a screen reader reads, and
// the speech.  It tells the slide that stands once it has stood a while,
// and the recording's descriptions as their cues begin and end; the rules
// (rules/describe.js) decide what is said when.
"use strict";

/**
 * @typedef {object} Describer
 * @property {(index: number) => void} slide  sample `index` plays now (-1 for none)
 * @property {(text: string) => void} cue  a description begins
 * @property {() => void} cueEnd  a description's time has ended
 * @property {(how: "seek" | "pause") => void} stopped  the student sought, or paused
 * @property {(described: boolean, language: string) => void} described
 *   whether the lecture has descriptions of its own, and their language
 * @property {() => void} track  a new track plays: its slides are new
 */

/**
 * @param {Listening} kept  how the student listens, as kept
 * @param {{ name: (index: number) => string, text: (index: number) => string,
 *           keep: (change: Partial<Listening>) => void, hold: () => void, release: () => void,
 *           say: (message: string) => void }} wiring
 *   `name` and `text` give a sample's slide as the list names it and as the search reads it; `hold` pauses
 *   the recording for a description, `release` plays it on
 * @returns {Describer}
 */
function makeDescriber(kept, wiring) {
  const region = byId("said", HTMLElement);
  const button = byId("describe", HTMLButtonElement);
  /** @type {Record<"announce" | "speak" | "wait" | "slideText", HTMLInputElement>} */
  const boxes = { announce: byId("announce", HTMLInputElement), speak: byId("describe-speak", HTMLInputElement),
                  wait: byId("describe-wait", HTMLInputElement), slideText: byId("describe-text", HTMLInputElement) };
  let listening = { ...kept };
  let state = describerState();
  // The system's speech, looked up as it is used: a browser may give it only once the page has loaded.
  const speech = () => ("speechSynthesis" in window ? window.speechSynthesis : null);
  // What is being spoken: only its own end tells the rules that the speech has ended.
  /** @type {SpeechSynthesisUtterance | null} */
  let speaking = null;
  // Whether the page has said that it cannot speak, or has no voice of its language.
  let toldSpeech = false;
  let settling = 0;
  // The descriptions' language, in which their cues are spoken; the slides are spoken in the page's.
  let cueLanguage = "no";

  /** @param {DescriberEvent} event */
  function dispatch(event) {
    const answer = describe(state, event, listening);
    state = answer.state;
    for (const action of answer.actions) {
      switch (action.type) {
        case "write": write(action.text); break;
        case "speak": speak(action.text, action.cue ? cueLanguage : document.documentElement.lang); break;
        case "silence":
          speaking = null;
          speech()?.cancel();
          break;
        case "hold": wiring.hold(); break;
        case "release": wiring.release(); break;
        default: {
          /** @type {never} */
          const unhandled = action;
          throw new Error(`no action ${JSON.stringify(unhandled)}`);
        }
      }
    }
  }

  // A line of its own for each thing told, so that a slide's name told while a description is still
  // being read follows it rather than replacing it; the oldest go, unread by then.
  /** @param {string} text */
  function write(text) {
    const line = document.createElement("p");
    line.textContent = text;
    region.append(line);
    while (region.childElementCount > 3) region.firstElementChild?.remove();
  }

  /** @param {string} message */
  function tellOnce(message) {
    if (toldSpeech) return;
    toldSpeech = true;
    wiring.say(message);
  }

  /** @param {string} text @param {string} language */
  function speak(text, language) {
    const system = speech();
    if (system === null) {
      tellOnce(words.listening.noSpeech);
      queueMicrotask(() => dispatch({ type: "spoken" }));
      return;
    }
    const utterance = new SpeechSynthesisUtterance(text);
    const voices = system.getVoices();
    const voice = chooseVoice(voices, language);
    if (voice !== null) {
      utterance.voice = voice;
      utterance.lang = voice.lang;
    } else {
      utterance.lang = speechLanguage(language);
      // A system that lists no voice yet may still be loading them.
      if (voices.length > 0) tellOnce(words.listening.noVoice);
    }
    const ended = () => {
      if (speaking !== utterance) return;
      speaking = null;
      dispatch({ type: "spoken" });
    };
    utterance.addEventListener("end", ended);
    utterance.addEventListener("error", ended);
    speaking = utterance;
    system.speak(utterance);
  }

  /** @param {Partial<Listening>} change */
  function change(change) {
    const was = listening;
    listening = { ...listening, ...change };
    wiring.keep(change);
    show();
    dispatch({ type: "listening", was });
  }

  function show() {
    button.setAttribute("aria-pressed", String(listening.describe));
    for (const [name, box] of Object.entries(boxes)) {
      box.checked = listening[/** @type {keyof typeof boxes} */ (name)];
    }
  }

  button.addEventListener("click", () => change({ describe: !listening.describe }));
  for (const [name, box] of Object.entries(boxes)) {
    box.addEventListener("change", () => change({ [name]: box.checked }));
  }
  show();

  return {
    slide(index) {
      clearTimeout(settling);
      settling = setTimeout(() => dispatch({ type: "slide", index, name: index < 0 ? "" : wiring.name(index),
                                             text: index < 0 ? "" : wiring.text(index) }), slideSettles);
    },
    cue: (text) => dispatch({ type: "cue", text }),
    cueEnd: () => dispatch({ type: "cueEnd" }),
    stopped: (how) => dispatch({ type: how }),
    described(described, language) {
      cueLanguage = language;
      dispatch({ type: "described", described });
    },
    track: () => dispatch({ type: "track" }),
  };
}
