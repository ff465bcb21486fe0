// SPDX-License-Identifier: MIT
// Where the student left off: the moment each lecture was at is kept as it
// plays, and a lecture opens there next time, saying so, with a button
// that starts it from the beginning instead.  The notice is a status that
// is always there, empty while it has nothing to say, so that a screen
// reader hears it when it speaks.  Where it starts, and when the moment is
// kept, the rules decide (lectureStart, momentToKeep).
"use strict";

/**
 * @typedef {object} Resume
 * @property {(key: string, moment: number | null, resumes: boolean) => void} open
 *   opens a lecture kept under `key` with the `moment` it was left at, saying so where it `resumes` there
 * @property {(time: number, duration: number, seeking: boolean, now: boolean) => void} follow
 *   keeps the moment the recording is at, every few seconds, or `now`
 */

/**
 * @param {{ keep: (key: string, moment: number | null) => void, go: (time: number) => void }} wiring
 * @returns {Resume}
 */
function makeResume(wiring) {
  const text = byId("resume-text", HTMLElement);
  const restart = byId("resume-restart", HTMLButtonElement);
  let key = "";
  // The moment kept last: it is kept again only when it has moved on.
  /** @type {number | null | undefined} */
  let kept;

  /** @param {string} said */
  function say(said) {
    text.textContent = said;
    restart.hidden = said === "";
  }

  restart.addEventListener("click", () => {
    say("");
    kept = null;
    wiring.keep(key, null);
    wiring.go(0);
  });

  return {
    open(lecture, moment, resumes) {
      key = lecture;
      kept = moment;
      say(resumes ? words.resume.from(formatStart(moment ?? 0)) : "");
    },
    follow(time, duration, seeking, now) {
      const moment = momentToKeep(time, duration, seeking, kept, now);
      if (key === "" || moment === undefined) return;
      kept = moment;
      wiring.keep(key, moment);
    },
  };
}
