// SPDX-License-Identifier: MIT
// Where the student left off: the moment each lecture was at is kept as it
// plays, and a lecture opens there next time, saying so, with a button
// that starts it from the beginning instead.  A link's t= wins, and so does
// a slide chosen before the recording is ready (the rules see to that).
"use strict";

/**
 * @typedef {object} Resume
 * @property {(key: string, moment: number | null, asked: number | null) => number | null} open
 *   opens a lecture kept under `key` with the `moment` it was left at; resolves where it starts:
 *   at `asked` (a link's t=) where there is one, else at the moment, said
 * @property {(time: number, duration: number, seeking: boolean, now: boolean) => void} follow
 *   keeps the moment the recording is at, every few seconds, or `now`
 */

/**
 * @param {{ notice: HTMLElement, text: HTMLElement, restart: HTMLButtonElement }} elements
 * @param {{ keep: (key: string, moment: number | null) => void, go: (time: number) => void }} wiring
 * @returns {Resume}
 */
function makeResume({ notice, text, restart }, wiring) {
  let key = "";
  // The moment kept last: it is kept again only when it has moved on.
  /** @type {number | null | undefined} */
  let kept;

  restart.addEventListener("click", () => {
    notice.hidden = true;
    kept = null;
    wiring.keep(key, null);
    wiring.go(0);
  });

  return {
    open(lecture, moment, asked) {
      key = lecture;
      kept = moment;
      notice.hidden = asked !== null || moment === null;
      if (!notice.hidden) text.textContent = words.resume.from(formatStart(moment ?? 0));
      return asked ?? moment;
    },
    follow(time, duration, seeking, now) {
      const moment = momentToKeep(time, duration, seeking);
      if (key === "" || moment === undefined || moment === kept) return;
      if (!now && moment !== null && kept !== null && kept !== undefined && Math.abs(moment - kept) < 5) return;
      kept = moment;
      wiring.keep(key, moment);
    },
  };
}
